#!/usr/bin/env bash
# Instructions the stand-in build of obsfeed_node executes per readings array (3 sensors), all
# threads together, counted by valgrind's callgrind: unlike times on this shared machine, the
# count repeats from run to run, so it shows what one change to the stand-in saves.
#
#   benchmarks/callgrind_per_reading.sh [ROUNDS]        (from the workspace root, after a build)
#
# The node runs twice under callgrind, answering the same warm-up and then ROUNDS or 4 x ROUNDS
# readings; the difference of the two totals, divided by 3 x ROUNDS, leaves out start-up,
# discovery and shutdown. Time spent waiting in the kernel is not counted: context switches
# show only as the instructions around them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
rounds=${1:-500}
export ROS_LOCALHOST_ONLY=1 ROS_DOMAIN_ID=$(( 1 + $$ % 99 ))
set +u
# shellcheck disable=SC1091
source install/setup.bash
set -u
driver=install/obsfeed_benchmarks/lib/obsfeed_benchmarks/obsfeed_bench_driver
out_dir=$(mktemp -d /tmp/obsfeed_callgrind_XXXXXX)

total_instructions() {  # READINGS
  valgrind --tool=callgrind --callgrind-out-file="${out_dir}/callgrind.$1" \
    install/obsfeed/lib/obsfeed/obsfeed_node --ros-args -p ultrasonic.hor_range_max:=65.0 \
    > "${out_dir}/node.$1.log" 2>&1 &
  local pid=$!
  "${driver}" --pid "${pid}" --build callgrind --warm-up 50 --readings "$1" > /dev/null
  kill -INT "${pid}"
  wait "${pid}"
  sed -n 's/^summary: \([0-9]*\).*/\1/p' "${out_dir}/callgrind.$1"
}

short=$(total_instructions "${rounds}")
long=$(total_instructions $(( 4 * rounds )))
echo "instructions per readings array: $(( (long - short) / (3 * rounds) )) (callgrind files in ${out_dir})"
