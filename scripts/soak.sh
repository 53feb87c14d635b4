#!/usr/bin/env bash
# The soak: builds the workspace, then runs obsfeed_node for a given time with ten sensors read at
# 1 kHz and the bumper pressed at 100 Hz, and checks that every reading the node took produced
# its scans, that its resident memory stayed flat after warm-up, that it logged nothing
# unexpected and that SIGTERM ended it with status 0. The test suite runs it for a minute
# (test_soak); a release runs it for half an hour:
#
#   scripts/soak.sh [--seconds 1800]
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"${WS_ROOT}/scripts/setup.sh"
"${WS_ROOT}/scripts/build.sh" --packages-up-to obsfeed
source_humble
source_workspace
args=("$@")
[[ " $* " == *" --seconds "* ]] || args=(--seconds 1800 "${args[@]}")
exec "${BUILD_DIR}/obsfeed/test/obsfeed_soak" \
  --node "${INSTALL_DIR}/obsfeed/lib/obsfeed/obsfeed_node" "${args[@]}"
