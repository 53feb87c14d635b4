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

#include "obsfeed_demo/simulated_robot.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <thread>

namespace obsfeed_demo
{

namespace
{

/// A reading for which obsfeed_node reports but publishes no scan.
constexpr std::uint16_t kReadingWithoutScan = 0xEEEE;

}  // namespace

SimulatedRobot::SimulatedRobot(std::size_t sensor_count)
: rclcpp::Node("obsfeed_simulated_robot"),
  counts_(sensor_count + 1, 0),
  latest_(sensor_count + 1)
{
  // The QoS obsfeed_node subscribes with.
  readings_pub_ = create_publisher<std_msgs::msg::UInt16MultiArray>(
    "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(1));
  status_pub_ = create_publisher<quorvex_protocol::msg::RobotInfoLevelZero>(
    "/robot_info_level_zero", rclcpp::QoS(1));
  for (std::size_t topic = 0; topic <= sensor_count; ++topic) {
    const std::string name =
      topic < sensor_count ? "/ultrasonic_laser" + std::to_string(topic + 1) : "/bumper_laser";
    scan_subs_.push_back(
      create_subscription<LaserScan>(
        name, rclcpp::QoS(10), [this, topic](const LaserScan & scan) {onScan(topic, scan);}));
  }
}

void SimulatedRobot::onScan(std::size_t topic, const LaserScan & scan)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++counts_[topic];
    latest_[topic] = scan;
  }
  scan_arrived_.notify_all();
}

bool SimulatedRobot::connected() const
{
  if (readings_pub_->get_subscription_count() == 0 || status_pub_->get_subscription_count() == 0) {
    return false;
  }
  for (const auto & subscription : scan_subs_) {
    if (subscription->get_publisher_count() == 0) {
      return false;
    }
  }
  return true;
}

template<typename Publish, typename Answered>
void SimulatedRobot::exchange(Publish publish, Answered answered, std::chrono::seconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // Discovery has no event to wait for: a message sent before the node's endpoints match ours
  // is lost.
  while (!connected() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::unique_lock<std::mutex> lock(mutex_);
  while (std::chrono::steady_clock::now() < deadline) {
    lock.unlock();
    publish();
    lock.lock();
    const auto retry = std::min(
      deadline, std::chrono::steady_clock::now() + std::chrono::seconds(1));
    if (scan_arrived_.wait_until(lock, retry, answered)) {
      return;
    }
  }
  throw std::runtime_error("obsfeed_node did not answer (is it running on this ROS_DOMAIN_ID?)");
}

std::vector<std::optional<SimulatedRobot::LaserScan>> SimulatedRobot::sendReadings(
  const std::vector<std::uint16_t> & millimetres, std::chrono::seconds timeout)
{
  if (millimetres.size() + 1 != counts_.size()) {
    throw std::invalid_argument("one reading per sensor, please");
  }
  std::vector<std::uint64_t> before;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    before = counts_;
  }
  std_msgs::msg::UInt16MultiArray readings;
  readings.data = millimetres;
  exchange(
    [&] {readings_pub_->publish(readings);},
    [&] {
      for (std::size_t i = 0; i < millimetres.size(); ++i) {
        if (millimetres[i] != kReadingWithoutScan && counts_[i] == before[i]) {
          return false;
        }
      }
      return true;
    }, timeout);
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::optional<LaserScan>> answer;
  for (std::size_t i = 0; i < millimetres.size(); ++i) {
    answer.push_back(
      millimetres[i] == kReadingWithoutScan ? std::nullopt : std::optional(latest_[i]));
  }
  return answer;
}

SimulatedRobot::LaserScan SimulatedRobot::pressBumper(std::chrono::seconds timeout)
{
  const std::size_t bumper = counts_.size() - 1;
  std::uint64_t before = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    before = counts_[bumper];
  }
  quorvex_protocol::msg::RobotInfoLevelZero status;
  status.bumper_trig = true;
  exchange(
    [&] {status_pub_->publish(status);},
    [&] {return counts_[bumper] > before;}, timeout);
  std::lock_guard<std::mutex> lock(mutex_);
  return latest_[bumper];
}

std::uint64_t SimulatedRobot::scanCount(std::size_t sensor)
{
  std::lock_guard<std::mutex> lock(mutex_);
  return counts_.at(sensor);
}

SimulatedRobot::LaserScan SimulatedRobot::scanAfter(
  std::size_t sensor, std::uint64_t seen, std::chrono::seconds timeout)
{
  std::unique_lock<std::mutex> lock(mutex_);
  if (!scan_arrived_.wait_for(lock, timeout, [&] {return counts_.at(sensor) > seen;})) {
    throw std::runtime_error(
            "no scan from ultrasonic sensor " + std::to_string(sensor + 1) + " within " +
            std::to_string(timeout.count()) + " s");
  }
  return latest_[sensor];
}

}  // namespace obsfeed_demo
