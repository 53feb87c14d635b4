#!/usr/bin/env bash
# Builds the workspace with colcon into build/ and install/.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
source_humble
source_underlay
cd "${WS_ROOT}"
export MAKEFLAGS="${MAKEFLAGS:--j$(nproc)}"
# Debian's interpreter for CMake too: Humble's Python message generator looks for the
# interpreter by version name (python3.6 first), which a pyenv on PATH answers wrongly.
# shellcheck disable=SC2046
colcon --log-base "${LOG_DIR}" build \
  $(colcon_paths) $(package_selection) \
  --build-base "${BUILD_DIR}" --install-base "${INSTALL_DIR}" \
  --event-handlers console_cohesion- summary+ \
  --cmake-args -DCMAKE_BUILD_TYPE=RelWithDebInfo --no-warn-unused-cli \
    -DPython3_EXECUTABLE=/usr/bin/python3 -DPYTHON_EXECUTABLE=/usr/bin/python3 \
  "$@"
