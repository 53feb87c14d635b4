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

source_humble() {
  if [[ "${HAVE_HUMBLE}" == 1 && -f /opt/ros/humble/setup.bash ]]; then
    # setup.bash reads unset variables.
    set +u
    # shellcheck disable=SC1091
    source /opt/ros/humble/setup.bash
    set -u
  fi
}

# With Humble installed the product builds against it; the stand-ins are for
# machines without it.
build_base_paths() {
  if [[ "${HAVE_HUMBLE}" == 1 ]]; then
    echo "${WS_ROOT}/platform ${WS_ROOT}/obsfeed"
  else
    echo "${WS_ROOT}/ros2_stand_ins ${WS_ROOT}/platform ${WS_ROOT}/obsfeed"
  fi
}

source_workspace() {
  set +u
  # shellcheck disable=SC1091
  source "${WS_ROOT}/install/setup.bash"
  set -u
}
