#!/usr/bin/env bash
# Builds the workspace with colcon into build/ and install/.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
source_humble
source_underlay
cd "${WS_ROOT}"
export MAKEFLAGS="${MAKEFLAGS:--j$(nproc)}"
python_args=(-DPython3_EXECUTABLE=/usr/bin/python3)
# Humble's message generation also finds Python through the older PYTHON_EXECUTABLE, which
# would otherwise pick the first python3.X on PATH (a pyenv shim, say).
[[ "${HAVE_HUMBLE}" == 1 ]] && python_args+=(-DPYTHON_EXECUTABLE=/usr/bin/python3)
# shellcheck disable=SC2046
colcon --log-base "${LOG_DIR}" build \
  --base-paths $(build_base_paths) $(package_selection) \
  --build-base "${BUILD_DIR}" --install-base "${INSTALL_DIR}" \
  --event-handlers console_cohesion- summary+ \
  --cmake-args -DCMAKE_BUILD_TYPE=RelWithDebInfo "${python_args[@]}" \
  "$@"
