// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

// Compiled only where rclcpp_components exists: it lets a component container find the node in
// libobsfeed_core by its class name.

#include "obsfeed/costmap_input.hpp"
#include "rclcpp_components/register_node_macro.hpp"

RCLCPP_COMPONENTS_REGISTER_NODE(costmap_input::CostmapInput)
