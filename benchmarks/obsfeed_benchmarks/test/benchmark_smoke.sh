#!/usr/bin/env bash
# A few rounds of every measurement, against obsfeed_node and against the floor: the driver,
# the floor and the node still understand each other (every reading answered, nothing lost).
#   benchmark_smoke.sh DRIVER FLOOR NODE
set -euo pipefail
driver=$1 floor=$2 node=$3
export ROS_LOCALHOST_ONLY=1 ROS_DOMAIN_ID=$(( 150 + $$ % 80 ))

check() {  # NAME COMMAND...: runs the answerer, drives it, stops it
  local name=$1; shift
  "$@" > /dev/null 2>&1 &
  local pid=$!
  local results status=0
  results=$("${driver}" --pid "${pid}" --build "${name}" --warm-up 5 --readings 20 --bumper 5 \
    --rates 200 --rate-seconds 0.25 --sustained 200 --sustained-seconds 0.25 \
    --sustained-warm-up 0.1) || status=$?
  kill -INT "${pid}"
  wait "${pid}" || { echo "${name} exited with status $?"; status=1; }
  echo "${results}"
  if (( status != 0 )); then
    echo "FAILED: ${name}: the driver ended with status ${status}"
    return 1
  fi
  local expected
  for expected in '"experiment": "readings", "rounds": 20, "lost": 0' \
                  '"experiment": "bumper", "rounds": 5, "lost": 0' \
                  '"experiment": "rate", "hz": 200, "sent": 50' \
                  '"experiment": "sustained", "hz": 200, "sent": 50' \
                  '"experiment": "memory", "peak_rss_kib": '; do
    if ! grep -qF "${expected}" <<< "${results}"; then
      echo "FAILED: ${name}: no line with ${expected}"
      return 1
    fi
  done
  # How many are superseded depends on the machine's load; that some are answered does not.
  if ! grep -qE '"handled": [1-9]' <<< "${results}"; then
    echo "FAILED: ${name}: no reading sent at a fixed rate was answered"
    return 1
  fi
}

check node "${node}" --ros-args -p ultrasonic.hor_range_max:=65.0
check floor "${floor}" --sensors 3
echo "both answerers passed"
