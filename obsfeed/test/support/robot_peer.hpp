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

#ifndef SUPPORT__ROBOT_PEER_HPP_
#define SUPPORT__ROBOT_PEER_HPP_

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

namespace obsfeed_test
{

/// A DDS domain of this process's own, on loopback only, for it and the obsfeed_node it starts.
inline std::map<std::string, std::string> isolatedNetwork()
{
  return {{"ROS_DOMAIN_ID", std::to_string(1 + getpid() % 200)}, {"ROS_LOCALHOST_ONLY", "1"}};
}

/// Puts this process itself on that network; call it before rclcpp::init.
inline void joinIsolatedNetwork()
{
  for (const auto & [name, value] : isolatedNetwork()) {
    setenv(name.c_str(), value.c_str(), 1);
  }
}

/// The robot's side of an obsfeed_node running as a process of its own: its ultrasonic driver
/// and base controller. A test adds the subscriptions it listens with to node(), then calls
/// spin(); declared after what its callbacks reach, the peer stops spinning before that goes.
class RobotPeer
{
public:
  explicit RobotPeer(const std::string & name)
  : node_(std::make_shared<rclcpp::Node>(name)),
    readings_(node_->create_publisher<std_msgs::msg::UInt16MultiArray>(
        "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(1))),
    bumper_(node_->create_publisher<quorvex_protocol::msg::RobotInfoLevelZero>(
        "/robot_info_level_zero", rclcpp::QoS(1)))
  {
  }

  ~RobotPeer()
  {
    // A cancel() that comes before spin() has started is lost, so repeat it until spin ends.
    while (spinner_.joinable() && !spun_) {
      executor_.cancel();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (spinner_.joinable()) {
      spinner_.join();
    }
  }

  rclcpp::Node & node() {return *node_;}

  void spin()
  {
    executor_.add_node(node_);
    spinner_ = std::thread([this]() {executor_.spin(); spun_ = true;});
  }

  /// Both of the node's readers matched, and no other's.
  bool heardByOneNode() const
  {
    return readings_->get_subscription_count() == 1 && bumper_->get_subscription_count() == 1;
  }

  void sendReadings(std::vector<std::uint16_t> values)
  {
    std_msgs::msg::UInt16MultiArray message;
    message.data = std::move(values);
    readings_->publish(message);
  }

  void sendBumper(bool pressed)
  {
    quorvex_protocol::msg::RobotInfoLevelZero message;
    message.bumper_trig = pressed;
    bumper_->publish(message);
  }

private:
  rclcpp::Node::SharedPtr node_;
  rclcpp::Publisher<std_msgs::msg::UInt16MultiArray>::SharedPtr readings_;
  rclcpp::Publisher<quorvex_protocol::msg::RobotInfoLevelZero>::SharedPtr bumper_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::atomic<bool> spun_{false};
  std::thread spinner_;
};

}  // namespace obsfeed_test

#endif  // SUPPORT__ROBOT_PEER_HPP_
