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

#ifndef SUPPORT__NODE_HARNESS_HPP_
#define SUPPORT__NODE_HARNESS_HPP_

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "obsfeed/costmap_input.hpp"
#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"
#include "support/message_log.hpp"

namespace obsfeed_test
{

inline std::int64_t nanosecondsOf(const builtin_interfaces::msg::Time & stamp)
{
  return static_cast<std::int64_t>(stamp.sec) * 1000000000LL + stamp.nanosec;
}

using ScanLog = MessageLog<sensor_msgs::msg::LaserScan>;

/// Spins the node under test the way obsfeed_node does (eight threads, yield before each
/// callback) next to a probe node that feeds it real messages and listens to its scans.
class RunningNode : public ::testing::Test
{
protected:
  void SetUp() override;
  void TearDown() override;

  /// Builds the node under test (configured by its section of the parameter file) and adds it
  /// to the spinning executor.
  std::shared_ptr<costmap_input::CostmapInput> startNode(const std::string & name);

  /// Listens on @p topic and waits until the node under test publishes there.
  std::shared_ptr<ScanLog> listen(const std::string & topic);

  void publishReadings(const std::vector<std::uint16_t> & data);
  void publishBumper(bool triggered);
  /// Publishes a simulated time and waits until the node's clock shows it.
  void setSimulatedTime(std::int64_t nanoseconds);

  /// Publishes @p data and waits until every log in @p logs has grown by one.
  void publishReadingsAndWait(
    const std::vector<std::uint16_t> & data, const std::vector<std::shared_ptr<ScanLog>> & logs);

  rclcpp::Node::SharedPtr probe_;
  std::shared_ptr<costmap_input::CostmapInput> node_;

private:
  template<typename PublisherT>
  void waitForSubscriber(const PublisherT & publisher);

  rclcpp::Publisher<std_msgs::msg::UInt16MultiArray>::SharedPtr readings_pub_;
  rclcpp::Publisher<quorvex_protocol::msg::RobotInfoLevelZero>::SharedPtr bumper_pub_;
  rclcpp::Publisher<rosgraph_msgs::msg::Clock>::SharedPtr clock_pub_;
  std::vector<std::shared_ptr<ScanLog>> logs_;
  std::shared_ptr<rclcpp::executors::MultiThreadedExecutor> executor_;
  std::thread spin_thread_;
  std::future<void> spin_ended_;
};

/// Counts of the diagnosis reports per sensor number, to compare before and after a reading.
std::size_t reportCount(std::size_t sensor_number);

}  // namespace obsfeed_test

#endif  // SUPPORT__NODE_HARNESS_HPP_
