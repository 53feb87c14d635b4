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

#ifndef OBSFEED_DEMO__SIMULATED_ROBOT_HPP_
#define OBSFEED_DEMO__SIMULATED_ROBOT_HPP_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

namespace obsfeed_demo
{

/// The robot's side of obsfeed_node: it sends ultrasonic readings and bumper contacts as the
/// base controller would, and waits for the scans the node answers with. Spin it on a
/// background executor; the calls below block the calling thread until the answer is in.
class SimulatedRobot : public rclcpp::Node
{
public:
  using LaserScan = sensor_msgs::msg::LaserScan;

  explicit SimulatedRobot(std::size_t sensor_count);

  /// Sends @p millimetres (one per sensor) and returns each sensor's scan in answer; a sensor
  /// sent 0xEEEE publishes none and gets std::nullopt. Throws std::runtime_error if the node
  /// has not answered within @p timeout.
  std::vector<std::optional<LaserScan>> sendReadings(
    const std::vector<std::uint16_t> & millimetres, std::chrono::seconds timeout);

  /// Presses the bumper once and returns the arc the node answers with.
  LaserScan pressBumper(std::chrono::seconds timeout);

  /// How many scans sensor @p sensor (counting from 0) has published so far.
  std::uint64_t scanCount(std::size_t sensor);
  /// The newest scan of @p sensor once it has published more than @p seen; throws
  /// std::runtime_error if it has not within @p timeout. For the scans no reading asks for.
  LaserScan scanAfter(std::size_t sensor, std::uint64_t seen, std::chrono::seconds timeout);

private:
  bool connected() const;
  /// Publishes with @p publish until @p answered holds, again every second in case the node's
  /// endpoints had not all matched ours yet.
  template<typename Publish, typename Answered>
  void exchange(Publish publish, Answered answered, std::chrono::seconds timeout);
  void onScan(std::size_t topic, const LaserScan & scan);

  rclcpp::Publisher<std_msgs::msg::UInt16MultiArray>::SharedPtr readings_pub_;
  rclcpp::Publisher<quorvex_protocol::msg::RobotInfoLevelZero>::SharedPtr status_pub_;
  std::vector<rclcpp::Subscription<LaserScan>::SharedPtr> scan_subs_;  // sensors, then bumper

  std::mutex mutex_;
  std::condition_variable scan_arrived_;
  std::vector<std::uint64_t> counts_;
  std::vector<LaserScan> latest_;
};

}  // namespace obsfeed_demo

#endif  // OBSFEED_DEMO__SIMULATED_ROBOT_HPP_
