#!/usr/bin/env bash
# The Humble lane: builds the real ROS 2 Humble core once (reused afterwards) into a prefix
# outside the repository, then builds and tests platform/ and obsfeed/ against it exactly as a
# Humble user would (the README's test command with Humble sourced), together with the tests
# across the two worlds in interop/, which also run the stand-in build.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

# The core's sources and build script; OBSFEED_HUMBLE_SOURCES points elsewhere if need be.
sources="${OBSFEED_HUMBLE_SOURCES:-${WS_ROOT}/../shared/ros2-humble}"
[[ -x "${sources}/build.sh" ]] || sources=/work/shared/ros2-humble
if [[ ! -x "${sources}/build.sh" ]]; then
  echo "test_humble: no ROS 2 Humble sources (set OBSFEED_HUMBLE_SOURCES)" >&2
  exit 1
fi
"${sources}/build.sh" "${HUMBLE_PREFIX}"

# The tests across the two worlds run the stand-in build against Humble peers: make sure it is
# there and current, built as on a machine without Humble (nothing of Humble in the environment).
env -i HOME="${HOME}" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c '"$1/scripts/setup.sh" && "$1/scripts/build.sh"' _ "${WS_ROOT}"
export OBSFEED_STAND_IN_INSTALL="${WS_ROOT}/install"

set +u
# shellcheck disable=SC1091
source "${HUMBLE_PREFIX}/setup.bash"
set -u
exec "${WS_ROOT}/scripts/test.sh" "$@"
