# Shared set-up of the workspace scripts: sourced, never run.
# Decides whether a real ROS 2 Humble is present and which packages to build.

set -euo pipefail

WS_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# ament and rosidl need Debian's interpreter with its ROS Python modules, not
# whatever python3 comes first on PATH (pyenv, venvs).
export PATH="/usr/bin:${PATH}"
export PYTHON3=/usr/bin/python3

if [[ "${ROS_DISTRO:-}" == "humble" || -f /opt/ros/humble/setup.bash ]]; then
  HAVE_HUMBLE=1
else
  HAVE_HUMBLE=0
fi

# Where the Humble lane (scripts/test_humble.sh) builds the real ROS 2 Humble core: outside the
# repository, so that it survives clean clones and is built only once per machine.
HUMBLE_PREFIX="${OBSFEED_HUMBLE_PREFIX:-/opt/ros2-humble}"

# Each world builds into folders of its own, so one checkout holds both builds side by side
# (the tests across the two worlds run the stand-in build against the Humble one).
# A sanitizer build (OBSFEED_BUILD_VARIANT=asan, tsan: scripts/test_asan.sh, test_tsan.sh) gets
# folders of its own too, so it never disturbs the normal ones.
folder_suffix=""
[[ "${HAVE_HUMBLE}" == 1 ]] && folder_suffix="-humble"
[[ -n "${OBSFEED_BUILD_VARIANT:-}" ]] && folder_suffix="${folder_suffix}-${OBSFEED_BUILD_VARIANT}"
BUILD_DIR="${WS_ROOT}/build${folder_suffix}"
INSTALL_DIR="${WS_ROOT}/install${folder_suffix}"
LOG_DIR="${WS_ROOT}/log${folder_suffix}"

source_humble() {
  if [[ "${HAVE_HUMBLE}" == 1 && -f /opt/ros/humble/setup.bash ]]; then
    # setup.bash reads unset variables.
    set +u
    # shellcheck disable=SC1091
    source /opt/ros/humble/setup.bash
    set -u
  fi
}

# With Humble installed the product builds against it; the stand-ins are for machines without
# it. The tests across the two worlds (interop/) also need the stand-in build: they are built
# only when the Humble lane names it in OBSFEED_STAND_IN_INSTALL.
build_base_paths() {
  if [[ "${HAVE_HUMBLE}" == 1 ]]; then
    echo "${WS_ROOT}/platform ${WS_ROOT}/obsfeed ${WS_ROOT}/obsfeed_demo${OBSFEED_STAND_IN_INSTALL:+ ${WS_ROOT}/interop}"
  else
    # The benchmark's driver and floor speak plain Cyclone DDS and measure either world's node:
    # they are built once, here.
    echo "${WS_ROOT}/ros2_stand_ins ${WS_ROOT}/platform ${WS_ROOT}/obsfeed ${WS_ROOT}/obsfeed_demo" \
      "${WS_ROOT}/benchmarks"
  fi
}

# A sanitizer lane may build only the packages that run threads of their own
# (OBSFEED_PACKAGES), on top of the normal build's install as an underlay for the rest.
package_selection() {
  if [[ -n "${OBSFEED_PACKAGES:-}" ]]; then
    # shellcheck disable=SC2086
    echo --packages-select ${OBSFEED_PACKAGES}
  fi
}

source_underlay() {
  if [[ -n "${OBSFEED_UNDERLAY:-}" ]]; then
    set +u
    # shellcheck disable=SC1091
    source "${OBSFEED_UNDERLAY}/setup.bash"
    set -u
  fi
}

source_workspace() {
  set +u
  # shellcheck disable=SC1091
  source "${INSTALL_DIR}/setup.bash"
  set -u
}
