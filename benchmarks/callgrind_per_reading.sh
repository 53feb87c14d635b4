#!/usr/bin/env bash
# Instructions a build of obsfeed_node executes per readings array, all threads together,
# counted by valgrind's callgrind: unlike times on this shared machine, the count repeats from
# run to run, so it shows what one change saves. Also says whose code ran them: obsfeed's,
# the client library's (the stand-in rclcpp and dds_wire, or Humble's rclcpp, rcl and
# rmw_cyclonedds_cpp), Cyclone DDS's (benchmarks/profile_parts.py). The floor (the plain
# Cyclone DDS answerer of scripts/benchmark.sh) is measured the same way.
#
#   benchmarks/callgrind_per_reading.sh [--sensors N] [--build stand-in|humble|floor|INSTALL_DIR|humble=INSTALL_DIR]
#                                       [--functions N] [ROUNDS]
#
# INSTALL_DIR: the obsfeed_node of another stand-in install tree (a copy of install/ from before
# a change), as scripts/benchmark.sh --compare measures it; humble=INSTALL_DIR: the same for a
# tree built against the Humble core (--compare-humble).
#
# From the workspace root, after a build (the Humble build: install-humble/, built as
# scripts/benchmark.sh builds it). The answerer runs twice under callgrind, answering the same
# warm-up and then ROUNDS (default 500) or 4 x ROUNDS readings of N sensors (default 3); the
# difference of the two profiles, divided by 3 x ROUNDS, leaves out start-up, discovery and
# shutdown. Time spent in the kernel is not counted: system calls and context switches show
# only as the instructions around them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
workspace=$(pwd)
sensors=3 build=stand-in functions=0 rounds=500
while (( $# )); do
  case "$1" in
    --sensors) sensors=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --functions) functions=$2; shift 2 ;;
    -*) sed -n '/^#   benchmarks/,/^#  *\[--functions/p' "${BASH_SOURCE[0]}" | cut -c3- >&2; exit 2 ;;
    *) rounds=$1; shift ;;
  esac
done
export ROS_LOCALHOST_ONLY=1 ROS_DOMAIN_ID=$(( 1 + $$ % 99 ))
driver=install/obsfeed_benchmarks/lib/obsfeed_benchmarks/obsfeed_bench_driver
case "${build}" in
  stand-in) setups=("${workspace}/install/setup.bash") node_install="${workspace}/install" ;;
  humble) node_install="${workspace}/install-humble"
    setups=("${OBSFEED_HUMBLE_PREFIX:-/opt/ros2-humble}/setup.bash" "${node_install}/setup.bash") ;;
  floor) setups=() ;;
  humble=*) node_install=$(cd "${build#humble=}" && pwd)
    setups=("${OBSFEED_HUMBLE_PREFIX:-/opt/ros2-humble}/setup.bash" "${node_install}/setup.bash") ;;
  *) if [[ ! -f "${build}/setup.bash" ]]; then
       echo "callgrind_per_reading: unknown build ${build}" >&2; exit 2
     fi
     node_install=$(cd "${build}" && pwd) setups=("${node_install}/setup.bash") ;;
esac
pose="[hor$(printf ', hor%.0s' $(seq 2 "${sensors}"))]"
if [[ "${build}" == floor ]]; then
  answerer=("${workspace}/${driver%/*}/obsfeed_bench_floor" --sensors "${sensors}")
else
  answerer=("${node_install}/obsfeed/lib/obsfeed/obsfeed_node" --ros-args
    -p ultrasonic.hor_range_max:=65.0 -p "ultrasonic.device_pose:=${pose}")
fi
out_dir=$(mktemp -d /tmp/obsfeed_callgrind_XXXXXX)

profile() {  # READINGS
  # Bound at start, so no call in the measured part passes through the dynamic loader.
  # shellcheck disable=SC2016
  LD_BIND_NOW=1 bash -c 'set +u; for (( i = 0; i < $2; ++i )); do source "${@:3+i:1}"; done
      exec valgrind --tool=callgrind --callgrind-out-file="$1" "${@:3+$2}"' \
    _ "${out_dir}/callgrind.$1" "${#setups[@]}" "${setups[@]}" "${answerer[@]}" \
    > "${out_dir}/answerer.$1.log" 2>&1 &
  local pid=$!
  "${driver}" --pid "${pid}" --build callgrind --sensors "${sensors}" --warm-up 50 \
    --readings "$1" > /dev/null
  kill -INT "${pid}"
  wait "${pid}"
}

profile "${rounds}"
profile $(( 4 * rounds ))
echo "${build}, ${sensors} sensors (callgrind files in ${out_dir})"
/usr/bin/python3 benchmarks/profile_parts.py callgrind --functions "${functions}" \
  "${out_dir}/callgrind.${rounds}" "${out_dir}/callgrind.$(( 4 * rounds ))" $(( 3 * rounds ))
