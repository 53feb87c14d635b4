#!/usr/bin/env bash
# The demo command: installs what is needed, builds the workspace, then runs obsfeed_node with a
# simulated robot that moves an obstacle towards each ultrasonic sensor and away again (then
# once more with a node that has ultrasonic.use_inf) and presses the bumper, and writes PNG pictures of what is marked into the folder given (default
# demo/, or demo-humble/ with ROS 2 Humble). With Nav2's costmap installed (the Humble lane) the
# pictures show the lethal cells of a real nav2_costmap_2d; without, the scans' returns
# projected as laser_geometry projects them for a costmap.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"${WS_ROOT}/scripts/setup.sh"
"${WS_ROOT}/scripts/build.sh"
source_humble
source_workspace

if [[ "${HAVE_HUMBLE}" == 1 ]]; then
  out="${1:-${WS_ROOT}/demo-humble}"
else
  out="${1:-${WS_ROOT}/demo}"
fi
mkdir -p "${out}"
# The simulated robot's readings must never reach a real robot's obsfeed_node: stay on this
# host, in a DDS domain of our own.
export ROS_LOCALHOST_ONLY=1
export ROS_DOMAIN_ID="${OBSFEED_DEMO_DOMAIN_ID:-$(( 1 + $$ % 100 ))}"

obsfeed_share="${INSTALL_DIR}/obsfeed/share/obsfeed"
exec "${INSTALL_DIR}/obsfeed_demo/lib/obsfeed_demo/obsfeed_demo" \
  --node "${INSTALL_DIR}/obsfeed/lib/obsfeed/obsfeed_node" \
  --layout "${obsfeed_share}/config/sensor_layout.yaml" \
  --costmap-params "${obsfeed_share}/config/nav2_obstacle_layer.yaml" \
  --costmap-params "${INSTALL_DIR}/obsfeed_demo/share/obsfeed_demo/config/costmap_standalone.yaml" \
  --out "${out}"
