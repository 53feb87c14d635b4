// Copyright 2026 obsfeed developers
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.

// The node as a component: rclcpp_components' container loads it from libobsfeed_core by its
// class name, as `ros2 component load` asks, with the options the request carries, and the node
// leaves the rest of the container's process as it was.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "composition_interfaces/srv/load_node.hpp"
#include "obsfeed_child_process/child_process.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

namespace
{

using namespace std::chrono_literals;

// What a component could change for the other components of its container: what descriptor 1
// refers to and its file status flags, and whether SIGPIPE is ignored or caught.
std::string sharedProcessState(pid_t pid)
{
  const std::string proc = "/proc/" + std::to_string(pid);
  std::string state = std::filesystem::read_symlink(proc + "/fd/1").string();
  std::ifstream descriptor(proc + "/fdinfo/1");
  for (std::string line; std::getline(descriptor, line); ) {
    if (line.rfind("flags:", 0) == 0) {
      state += ", " + line;
    }
  }
  std::ifstream status(proc + "/status");
  for (std::string line; std::getline(status, line); ) {
    if (line.rfind("SigIgn:", 0) == 0 || line.rfind("SigCgt:", 0) == 0) {
      const bool sigpipe = (std::stoull(line.substr(7), nullptr, 16) >> (SIGPIPE - 1)) & 1u;
      state += ", " + line.substr(0, 7) + (sigpipe ? " SIGPIPE" : " -");
    }
  }
  return state;
}

TEST(Component, LoadsIntoAContainerWithTheRequestsParametersAndServes)
{
  // The container finds the component through the ament index of obsfeed's install, and talks
  // to this test on a domain of their own.
  const char * index = std::getenv("AMENT_PREFIX_PATH");
  setenv(
    "AMENT_PREFIX_PATH",
    (std::string(OBSFEED_INSTALL_PREFIX) + (index ? std::string(":") + index : "")).c_str(), 1);
  setenv("ROS_DOMAIN_ID", std::to_string(1 + getpid() % 100).c_str(), 1);
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  rclcpp::init(0, nullptr);
  {
    obsfeed_child_process::ChildProcess container(COMPONENT_CONTAINER, {});
    auto node = std::make_shared<rclcpp::Node>("obsfeed_component_test");
    auto load = node->create_client<composition_interfaces::srv::LoadNode>(
      "/ComponentManager/_container/load_node");
    ASSERT_TRUE(load->wait_for_service(30s));
    const std::string container_state = sharedProcessState(container.pid());

    auto request = std::make_shared<composition_interfaces::srv::LoadNode::Request>();
    request->package_name = "obsfeed";
    request->plugin_name = "costmap_input::CostmapInput";
    request->parameters.push_back(
      rclcpp::Parameter("ultrasonic.hor_range_max", 0.3).to_parameter_msg());
    auto loaded = load->async_send_request(request);
    ASSERT_EQ(
      rclcpp::spin_until_future_complete(node, loaded, 30s), rclcpp::FutureReturnCode::SUCCESS);
    const auto response = loaded.get();
    ASSERT_TRUE(response->success) << response->error_message;
    EXPECT_EQ(response->full_node_name, "/costmap_input");
    // The node logged, into the container's standard output (a pipe), as a library.
    ASSERT_TRUE(container.waitForOutput("  1 [INFO] log_level: 2\n")) << container.output();
    EXPECT_EQ(sharedProcessState(container.pid()), container_state);

    // 250 mm lies beyond the default 0.2 m limit but within the request's 0.3 m.
    std::optional<float> range;
    auto readings = node->create_publisher<std_msgs::msg::UInt16MultiArray>(
      "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(1));
    auto scans = node->create_subscription<sensor_msgs::msg::LaserScan>(
      "/ultrasonic_laser1", rclcpp::QoS(1),
      [&range](const sensor_msgs::msg::LaserScan & scan) {range = scan.ranges.at(0);});
    std_msgs::msg::UInt16MultiArray message;
    message.data = {250, 250, 250};
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!range && std::chrono::steady_clock::now() < deadline) {
      readings->publish(message);  // again until the container's endpoints have matched ours
      rclcpp::spin_some(node);
      std::this_thread::sleep_for(100ms);
      rclcpp::spin_some(node);
    }
    ASSERT_TRUE(range);
    EXPECT_FLOAT_EQ(*range, 0.1250428f);
  }
  rclcpp::shutdown();
}

}  // namespace
