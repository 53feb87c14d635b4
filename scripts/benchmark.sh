#!/usr/bin/env bash
# The benchmark: obsfeed_node built on the stand-in rclcpp, obsfeed_node built on the real
# ROS 2 Humble core (rclcpp + rmw_cyclonedds_cpp), and the floor (a plain Cyclone DDS program
# answering the same way), measured by one Cyclone DDS driver over loopback on a domain of
# their own, alternated in one run; then each of them once under a sustained load (10 sensors
# at 1 kHz for a minute), and the stand-in build once more with 32 sensors. Writes
# docs/BENCHMARKS.md and the measurements it is made of,
# docs/BENCHMARKS.jsonl.
#
#   scripts/benchmark.sh [--repetitions N] [--quick] [--builds floor,stand-in,humble]
#                        [--compare NAME=INSTALL_DIR]... [--compare-humble NAME=INSTALL_DIR]...
#                        [--output FILE]
#
# Builds what is missing first: the stand-in world (install/), the Humble core (as
# scripts/test_humble.sh does, about 20 minutes the first time) and the node against it
# (install-humble/). --quick: one repetition of shorter measurements, to try the script.
# --builds: which answerers to measure. --compare: also measure the obsfeed_node of another
# stand-in install tree (a copy of install/ from before a change), under NAME; --compare-humble:
# the same for a tree built against the Humble core (a copy of install-humble/).
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [[ "${HAVE_HUMBLE}" == 1 ]]; then
  echo "benchmark: run it from a shell without ROS 2 sourced; it sets up each world itself" >&2
  exit 2
fi

command_line="scripts/benchmark.sh $*"
repetitions=5
readings_rounds=2000
bumper_rounds=2000
rate_seconds=3
sustained_seconds=60
sustained_warm_up=5
output="${WS_ROOT}/docs/BENCHMARKS.md"
IFS=, read -r -a builds <<< "floor,stand-in,humble"
declare -A compared=() on_humble=()
while (( $# )); do
  case "$1" in
    --repetitions) repetitions=$2; shift 2 ;;
    --quick) repetitions=1; readings_rounds=300; bumper_rounds=300; rate_seconds=1
      sustained_seconds=5; sustained_warm_up=1; shift ;;
    --builds) IFS=, read -r -a builds <<< "$2"; shift 2 ;;
    --compare) compared[${2%%=*}]=$(cd "${2#*=}" && pwd); builds+=("${2%%=*}"); shift 2 ;;
    --compare-humble) compared[${2%%=*}]=$(cd "${2#*=}" && pwd); on_humble[${2%%=*}]=1
      builds+=("${2%%=*}"); shift 2 ;;
    --output) output=$2; shift 2 ;;
    *) sed -n '/^#   scripts/,/^#  *\[--compare/p' "${BASH_SOURCE[0]}" | cut -c3- >&2; exit 2 ;;
  esac
done
measures_humble=0
[[ " ${builds[*]} " == *" humble "* || ${#on_humble[@]} -gt 0 ]] && measures_humble=1

# --- Both builds of the node, the driver and the floor -------------------------------------
"${WS_ROOT}/scripts/setup.sh"
"${WS_ROOT}/scripts/build.sh" --packages-up-to obsfeed obsfeed_benchmarks
humble_sources="${OBSFEED_HUMBLE_SOURCES:-${WS_ROOT}/../shared/ros2-humble}"
if (( measures_humble )); then
  if [[ ! -f "${HUMBLE_PREFIX}/.source-sha256" ]]; then
    echo "benchmark: building the ROS 2 Humble core into ${HUMBLE_PREFIX} first"
    "${humble_sources}/build.sh" "${HUMBLE_PREFIX}"
  fi
  (
    set +u
    # shellcheck disable=SC1091
    source "${HUMBLE_PREFIX}/setup.bash"
    set -u
    "${WS_ROOT}/scripts/setup.sh"
    "${WS_ROOT}/scripts/build.sh" --packages-up-to obsfeed
  )
fi

# --- The run ----------------------------------------------------------------------------------
bench_bin="${WS_ROOT}/install/obsfeed_benchmarks/lib/obsfeed_benchmarks"
export ROS_LOCALHOST_ONLY=1
export ROS_DOMAIN_ID=$(( 1 + $$ % 99 ))
results="$(mktemp /tmp/obsfeed_benchmark_XXXXXX.jsonl)"
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
started=$(date +%s)

# Starts one answerer in the background for SENSORS sensors; its pid goes to $answerer_pid.
start_answerer() {  # BUILD SENSORS
  local build=$1 sensors=$2
  local pose="[hor$(printf ', hor%.0s' $(seq 2 "${sensors}"))]"
  local node_args=(--ros-args -p ultrasonic.hor_range_max:=65.0 -p "ultrasonic.device_pose:=${pose}")
  case "${build}" in
    floor)
      "${bench_bin}/obsfeed_bench_floor" --sensors "${sensors}" > /dev/null 2>&1 & ;;
    stand-in)
      start_stand_in "${WS_ROOT}/install" "${node_args[@]}" ;;
    humble)
      start_on_humble "${WS_ROOT}/install-humble" "${node_args[@]}" ;;
    *)
      if [[ -n "${on_humble[${build}]:-}" ]]; then
        start_on_humble "${compared[${build}]}" "${node_args[@]}"
      else
        start_stand_in "${compared[${build}]}" "${node_args[@]}"
      fi ;;
  esac
  answerer_pid=$!
}

start_on_humble() {  # INSTALL_DIR NODE_ARGS...
  # shellcheck disable=SC2016
  bash -c 'set +u; source "$1/setup.bash"; source "$2/setup.bash"
    exec "$2/obsfeed/lib/obsfeed/obsfeed_node" "${@:3}"' \
    _ "${HUMBLE_PREFIX}" "$@" > /dev/null 2>&1 &
}

start_stand_in() {  # INSTALL_DIR NODE_ARGS...
  # shellcheck disable=SC2016
  bash -c 'set +u; source "$1/setup.bash"; exec "$1/obsfeed/lib/obsfeed/obsfeed_node" "${@:2}"' \
    _ "$@" > /dev/null 2>&1 &
}

measure() {  # BUILD SENSORS DRIVER_ARGS...
  local build=$1 sensors=$2; shift 2
  start_answerer "${build}" "${sensors}"
  echo "benchmark: ${build}, ${sensors} sensors (pid ${answerer_pid})"
  if ! "${bench_bin}/obsfeed_bench_driver" --pid "${answerer_pid}" --build "${build}" \
      --sensors "${sensors}" "$@" >> "${results}"; then
    echo "benchmark: the driver failed against ${build}" >&2
  fi
  kill -INT "${answerer_pid}"
  wait "${answerer_pid}" || echo "benchmark: ${build} exited with status $?" >&2
}

for (( rep = 0; rep < repetitions; ++rep )); do
  echo "benchmark: repetition $(( rep + 1 )) of ${repetitions}"
  # Each repetition starts with another build, so none always runs first (or last).
  order=()
  for (( i = 0; i < ${#builds[@]}; ++i )); do
    order+=("${builds[$(( (rep + i) % ${#builds[@]} ))]}")
  done
  for build in "${order[@]}"; do
    measure "${build}" 3 --readings "${readings_rounds}" --bumper "${bumper_rounds}" \
      --rates 100,1000,2000 --rate-seconds "${rate_seconds}"
  done
  for sensors in 10 16 32; do
    for build in "${order[@]}"; do
      measure "${build}" "${sensors}" --readings "${readings_rounds}"
    done
  done
done

# A minute at the load the node is sized for, once per answerer: long enough to see memory
# settle or grow, too long to repeat. The order follows the last repetition's, rotated once more.
echo "benchmark: sustained load"
sustained=(--readings 0 --sustained 1000 --sustained-seconds "${sustained_seconds}"
  --sustained-warm-up "${sustained_warm_up}")
for (( i = 0; i < ${#builds[@]}; ++i )); do
  measure "${builds[$(( (repetitions + i) % ${#builds[@]} ))]}" 10 "${sustained[@]}"
done
# A ring of sonars holds more memory per reading: it must stay as flat.
if [[ " ${builds[*]} " == *" stand-in "* ]]; then
  measure stand-in 32 "${sustained[@]}"
fi

# --- The report ------------------------------------------------------------------------------
mkdir -p "$(dirname "${output}")"
# The measurements themselves go beside the report, one JSON object per line.
cp "${results}" "${output%.md}.jsonl"
/usr/bin/python3 "${WS_ROOT}/benchmarks/benchmark_report.py" "${results}" \
  --load-before "${load_before}" --load-after "$(cut -d' ' -f1-3 /proc/loadavg)" \
  --seconds $(( $(date +%s) - started )) --repetitions "${repetitions}" \
  --command "${command_line}" --humble-builds "$(IFS=,; echo "${!on_humble[*]}")" > "${output}"
rm -f "${results}"
echo "benchmark: report in ${output}, measurements in ${output%.md}.jsonl"
