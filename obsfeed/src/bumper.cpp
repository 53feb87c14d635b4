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

#include <chrono>
#include <functional>
#include <random>

#include "obsfeed/bumper_scan.hpp"
#include "obsfeed/costmap_input.hpp"
#include "quorvex/logger.hpp"

namespace costmap_input
{

namespace
{

double wallClockSeconds()
{
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

void CostmapInput::bumperInit()
{
  // Both with history, depth and reliability from their "qos_overrides." parameters.
  rclcpp::SubscriptionOptions subscription_options;
  subscription_options.qos_overriding_options =
    rclcpp::QosOverridingOptions::with_default_policies();
  bumper_sub_ = create_subscription<quorvex_protocol::msg::RobotInfoLevelZero>(
    "/robot_info_level_zero", rclcpp::QoS(1),
    std::bind(&CostmapInput::bumperCallback, this, std::placeholders::_1), subscription_options);
  rclcpp::PublisherOptions publisher_options;
  publisher_options.qos_overriding_options = rclcpp::QosOverridingOptions::with_default_policies();
  bumper_pub_ = create_publisher<sensor_msgs::msg::LaserScan>(
    "bumper_laser", rclcpp::QoS(1), publisher_options);
}

void CostmapInput::bumperCallback(
  std::shared_ptr<const quorvex_protocol::msg::RobotInfoLevelZero> msg)
{
  diagnostics_->recordBumper(msg->bumper_trig, InputDiagnostics::Clock::now());
  if (!msg->bumper_trig) {
    return;
  }
  const double start = wallClockSeconds();
  LOG_WARN("bumperCallback msg->bumper_trig={0:d}", msg->bumper_trig);

  sensor_msgs::msg::LaserScan scan;
  // Stamped a little in the past so that the transform lookup of a costmap, which trails the
  // newest transform, still finds one for the scan.
  const rclcpp::Time node_time = now();
  scan.header.stamp =
    rclcpp::Time(bumperStampNanoseconds(node_time.nanoseconds()), node_time.get_clock_type());
  scan.header.frame_id = "base_footprint";

  // A fresh seed per contact: consecutive arcs must not repeat, or a costmap that clears by
  // ray tracing would see the same returns and never refresh the marked cells.
  std::random_device random_device;
  std::mt19937 generator(random_device());
  fillBumperScan(generator, scan);
  bumper_pub_->publish(scan);

  LOG_WARN("bumperCallback use time: {0:03.4f} ms", (wallClockSeconds() - start) * 1000.0);
}

}  // namespace costmap_input
