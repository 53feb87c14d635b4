// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/executors.hpp"

namespace rclcpp
{

void spin_some(rclcpp::Node::SharedPtr node_ptr)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.spin_node_some(node_ptr);
}

void spin(rclcpp::Node::SharedPtr node_ptr)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_ptr);
  executor.spin();
  executor.remove_node(node_ptr);
}

}  // namespace rclcpp
