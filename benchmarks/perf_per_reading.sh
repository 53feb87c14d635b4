#!/usr/bin/env bash
# CPU time an answerer spends per readings array, the kernel's included, by whose code ran:
# the kernel's, obsfeed's, the client library's, Cyclone DDS's (benchmarks/profile_parts.py).
# Sampled by perf (cpu-clock, one sample per 200 us of CPU time: sampled more often, the
# interrupts cost more than they measure on a virtual machine), so unlike callgrind's counts it
# moves with the machine's load: profile on a quiet machine.
#
#   benchmarks/perf_per_reading.sh [--sensors N] [--build stand-in|humble|floor] [ROUNDS]
#
# As benchmarks/callgrind_per_reading.sh: two runs, of ROUNDS (default 5000) and 4 x ROUNDS
# readings, whose difference leaves out start-up and shutdown.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
sensors=3 build=stand-in rounds=5000 sample_ns=200000
while (( $# )); do
  case "$1" in
    --sensors) sensors=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    -*) sed -n '/^#   benchmarks/p' "${BASH_SOURCE[0]}" | cut -c3- >&2; exit 2 ;;
    *) rounds=$1; shift ;;
  esac
done
export ROS_LOCALHOST_ONLY=1 ROS_DOMAIN_ID=$(( 1 + $$ % 99 ))
driver=install/obsfeed_benchmarks/lib/obsfeed_benchmarks/obsfeed_bench_driver
pose="[hor$(printf ', hor%.0s' $(seq 2 "${sensors}"))]"
node_args=(--ros-args -p ultrasonic.hor_range_max:=65.0 -p "ultrasonic.device_pose:=${pose}")
out_dir=$(mktemp -d /tmp/obsfeed_perf_XXXXXX)

start_answerer() {
  case "${build}" in
    stand-in)
      # shellcheck disable=SC2016
      bash -c 'set +u; source install/setup.bash; exec install/obsfeed/lib/obsfeed/obsfeed_node "$@"' \
        _ "${node_args[@]}" > /dev/null 2>&1 & ;;
    humble)
      # shellcheck disable=SC2016
      bash -c 'set +u; source "$1/setup.bash"; source install-humble/setup.bash; shift
        exec install-humble/obsfeed/lib/obsfeed/obsfeed_node "$@"' \
        _ "${OBSFEED_HUMBLE_PREFIX:-/opt/ros2-humble}" "${node_args[@]}" > /dev/null 2>&1 & ;;
    floor) "${driver%/*}/obsfeed_bench_floor" --sensors "${sensors}" > /dev/null 2>&1 & ;;
    *) echo "perf_per_reading: unknown build ${build}" >&2; exit 2 ;;
  esac
  answerer_pid=$!
}

profile() {  # READINGS
  start_answerer
  perf record -q -e cpu-clock -c "${sample_ns}" -p "${answerer_pid}" -o "${out_dir}/perf.$1.data" \
    2> /dev/null &
  local perf_pid=$!
  "${driver}" --pid "${answerer_pid}" --build "${build}" --sensors "${sensors}" --readings "$1" |
    grep readings  # latency and CPU as measured under the profiler
  kill -INT "${answerer_pid}"
  wait "${answerer_pid}"
  wait "${perf_pid}" || true  # perf stops with the process it follows
  perf report -i "${out_dir}/perf.$1.data" --stdio --sort dso -F sample,dso -g none \
    > "${out_dir}/report.$1" 2> /dev/null
}

profile "${rounds}"
profile $(( 4 * rounds ))
echo "${build}, ${sensors} sensors (perf files in ${out_dir})"
/usr/bin/python3 benchmarks/profile_parts.py perf "${out_dir}/report.${rounds}" \
  "${out_dir}/report.$(( 4 * rounds ))" $(( 3 * rounds )) "$(( sample_ns / 1000 ))"
