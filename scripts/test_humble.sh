#!/usr/bin/env bash
# The Humble lane. Builds the real ROS 2 Humble core once (reused afterwards) into a prefix
# outside the repository, then does with this repository what a robot team does: a workspace
# with the repository in src/, Humble's setup file sourced, plain `colcon build` and
# `colcon test`, in a shell that has nothing else but the team's ROS_DOMAIN_ID and
# ROS_LOCALHOST_ONLY (passed on from the caller's). It checks that colcon sees no package there
# that Humble already provides, then builds and runs on top what a team would not: the tests
# across the two worlds (interop/, which also run the stand-in build) and rclcpp's public API
# tests against the real rclcpp. The workspace stays in build-humble-lane/workspace, so the
# next run builds only what changed.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

# The core's sources and build script, beside the repository; OBSFEED_HUMBLE_SOURCES points
# elsewhere if need be.
sources="${OBSFEED_HUMBLE_SOURCES:-${WS_ROOT}/../shared/ros2-humble}"
if [[ ! -x "${sources}/build.sh" ]]; then
  echo "test_humble: no ROS 2 Humble sources in ${sources} (set OBSFEED_HUMBLE_SOURCES)" >&2
  exit 1
fi
"${sources}/build.sh" "${HUMBLE_PREFIX}"

# The tests across the two worlds run the stand-in build against Humble peers: make sure it is
# there and current, built as on a machine without Humble (nothing of Humble in the environment).
plain_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
env -i HOME="${HOME}" PATH="${plain_path}" \
  bash -c '"$1/scripts/setup.sh" && "$1/scripts/build.sh"' _ "${WS_ROOT}"
# What rosdep would install for a team, from Debian.
ROS_DISTRO=humble "${WS_ROOT}/scripts/setup.sh"

# The repository as a team's clone, with the times of its files kept so that colcon rebuilds
# only what changed; the lane's folder is hidden from colcon crawling this repository.
lane="${WS_ROOT}/build-humble-lane"
workspace="${lane}/workspace"
mkdir -p "${workspace}/src/obsfeed"
touch "${lane}/COLCON_IGNORE"
rsync -a --delete --exclude=/.git --filter=':- .gitignore' "${WS_ROOT}/" "${workspace}/src/obsfeed/"

# Runs COMMAND in a team's shell in the workspace (Humble sourced), with NAME=VALUE added.
in_team_shell() {  # COMMAND [NAME=VALUE...]
  local command=$1
  shift
  env -i HOME="${HOME}" PATH="${plain_path}" \
    ${ROS_DOMAIN_ID+"ROS_DOMAIN_ID=${ROS_DOMAIN_ID}"} \
    ${ROS_LOCALHOST_ONLY+"ROS_LOCALHOST_ONLY=${ROS_LOCALHOST_ONLY}"} \
    "$@" bash -c 'set -e; source "$0/setup.bash"; cd "$1"; eval "$2"' \
    "${HUMBLE_PREFIX}" "${workspace}" "${command}"
}

# shellcheck disable=SC2016
in_team_shell 'colcon list
  overlaid=$(comm -12 <(colcon list --names-only | sort) <(
    for prefix in ${AMENT_PREFIX_PATH//:/ }; do
      ls "${prefix}/share/ament_index/resource_index/packages"
    done | sort -u))
  if [[ -n "${overlaid}" ]]; then
    echo "test_humble: the workspace would overlay what Humble provides:" ${overlaid} >&2
    exit 1
  fi'

# Failed tests do not stop the lane: they are counted at its end.
in_team_shell 'colcon build && { colcon test || true; }'

# On top, as an overlay of the workspace's own install.
extra_paths="src/obsfeed/interop/*/ src/obsfeed/ros2_stand_ins/rclcpp_api_tests"
in_team_shell "source install/setup.bash && colcon build --paths ${extra_paths} &&
  { colcon test --paths ${extra_paths} || true; }" OBSFEED_STAND_IN_INSTALL="${WS_ROOT}/install"

cd "${workspace}"
report_test_results build
