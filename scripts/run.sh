#!/usr/bin/env bash
# The run command: installs what is needed, builds the workspace and runs
# obsfeed_node. Arguments are handed to the node (for example
# --ros-args -p debug:=true).
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"${WS_ROOT}/scripts/setup.sh"
"${WS_ROOT}/scripts/build.sh"
source_humble
source_workspace
exec "${INSTALL_DIR}/obsfeed/lib/obsfeed/obsfeed_node" "$@"
