// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include <chrono>
#include <memory>

#include "obsfeed/costmap_input.hpp"
#include "quorvex/logger.hpp"
#include "rclcpp/rclcpp.hpp"

// Nothing here catches: a node that cannot come up must end the process loudly (abort) so
// that the robot's supervisor restarts it and the failure shows in its records.
int main(int argc, char ** argv)
{
  rclcpp::init(
    argc, argv, rclcpp::InitOptions(rcutils_get_default_allocator()),
    rclcpp::SignalHandlerOptions::All);
  // Created before the node so that the whole process logs under this name.
  quorvex::Logger::Instance("costmap_input");

  auto node = std::make_shared<costmap_input::CostmapInput>("costmap_input");
  // Eight threads so that the ultrasonic and bumper pipelines never wait for each other; an
  // unbounded wait because there is no periodic work.
  auto executor = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(
    rclcpp::ExecutorOptions(), 8, true, std::chrono::nanoseconds(-1));
  executor->add_node(node, true);
  executor->spin();

  rclcpp::shutdown(nullptr, "user called rclcpp::shutdown()");
  executor.reset();
  node.reset();
  return 0;
}
