#!/usr/bin/env bash
# Builds the workspace with colcon into build/ and install/.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
source_humble
cd "${WS_ROOT}"
export MAKEFLAGS="${MAKEFLAGS:--j$(nproc)}"
# shellcheck disable=SC2046
colcon build \
  --base-paths $(build_base_paths) \
  --event-handlers console_cohesion- summary+ \
  --cmake-args -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPython3_EXECUTABLE=/usr/bin/python3 \
  "$@"
