#!/usr/bin/env bash
# Builds the workspace with colcon into build/ and install/.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
source_humble
cd "${WS_ROOT}"
export MAKEFLAGS="${MAKEFLAGS:--j$(nproc)}"
# Humble's message generation looks for Python with the older FindPythonInterp too
# (PYTHON_EXECUTABLE), which would take a versioned pyenv shim over Debian's interpreter.
# shellcheck disable=SC2046
colcon --log-base "${LOG_DIR}" build \
  --base-paths $(build_base_paths) \
  --build-base "${BUILD_DIR}" --install-base "${INSTALL_DIR}" \
  --event-handlers console_cohesion- summary+ \
  --cmake-args -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPython3_EXECUTABLE=/usr/bin/python3 -DPYTHON_EXECUTABLE=/usr/bin/python3 \
  "$@"
