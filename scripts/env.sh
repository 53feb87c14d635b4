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

# What colcon sees: with Humble, what a Humble user's plain `colcon build` sees in this
# repository (everything not hidden by a COLCON_IGNORE marker: the product, the platform
# packages, the demo and the tests that run on Humble); without, the stand-ins and what needs
# them too, named one by one below their hidden folders. The benchmark's driver and floor speak
# plain Cyclone DDS and measure either world's node: they are built once, here.
colcon_paths() {
  echo --base-paths "${WS_ROOT}"
  if [[ "${HAVE_HUMBLE}" == 0 ]]; then
    echo --paths "${WS_ROOT}"/ros2_stand_ins/*/ "${WS_ROOT}"/benchmarks/*/
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

# colcon's verbose test results of the build folder given, then one plain closing line
# "tests: N passed, N failed, N skipped"; fails on any failure, or when there are no results.
report_test_results() {
  local status=0 summary total errors failures skipped
  summary="$(colcon test-result --test-result-base "$1" --verbose)" || status=$?
  echo "${summary}"
  read -r total errors failures skipped < <(echo "${summary}" |
    sed -n 's/^Summary: \([0-9]*\) tests, \([0-9]*\) errors, \([0-9]*\) failures, \([0-9]*\) skipped.*/\1 \2 \3 \4/p' |
    tail -n 1)
  if [[ -z "${total:-}" ]]; then
    echo "test: no test results found" >&2
    return 1
  fi
  echo "tests: $(( total - errors - failures - skipped )) passed, $(( errors + failures )) failed," \
    "${skipped} skipped"
  (( status == 0 && errors + failures == 0 ))
}
