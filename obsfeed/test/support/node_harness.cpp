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

#include "node_harness.hpp"

#include <utility>

#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex_lumidra_diagnosis/diagnosis.hpp"

namespace obsfeed_test
{

using namespace std::chrono_literals;

void RunningNode::SetUp()
{
  probe_ = std::make_shared<rclcpp::Node>("obsfeed_probe");
  readings_pub_ = probe_->create_publisher<std_msgs::msg::UInt16MultiArray>(
    "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(10));
  bumper_pub_ = probe_->create_publisher<quorvex_protocol::msg::RobotInfoLevelZero>(
    "/robot_info_level_zero", rclcpp::QoS(10));
  clock_pub_ = probe_->create_publisher<rosgraph_msgs::msg::Clock>("/clock", rclcpp::QoS(10));
  executor_ = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(
    rclcpp::ExecutorOptions(), 8, true);
  executor_->add_node(probe_);
  std::promise<void> spin_ended;
  spin_ended_ = spin_ended.get_future();
  spin_thread_ = std::thread(
    [this, spin_ended = std::move(spin_ended)]() mutable {
      executor_->spin();
      spin_ended.set_value();
    });
}

void RunningNode::TearDown()
{
  // A cancel that comes before the thread has started spinning is lost, so repeat it until
  // the spin has ended.
  do {
    executor_->cancel();
  } while (spin_ended_.wait_for(10ms) != std::future_status::ready);
  spin_thread_.join();
  executor_.reset();
  logs_.clear();
  node_.reset();
  probe_.reset();
}

std::shared_ptr<costmap_input::CostmapInput> RunningNode::startNode(const std::string & name)
{
  node_ = std::make_shared<costmap_input::CostmapInput>(name);
  executor_->add_node(node_);
  return node_;
}

std::shared_ptr<ScanLog> RunningNode::listen(const std::string & topic)
{
  auto log = std::make_shared<ScanLog>(*probe_, topic);
  logs_.push_back(log);
  EXPECT_TRUE(eventually([&] {return log->publisherCount() > 0;})) << "nobody publishes " << topic;
  return log;
}

template<typename PublisherT>
void RunningNode::waitForSubscriber(const PublisherT & publisher)
{
  EXPECT_TRUE(eventually([&] {return publisher->get_subscription_count() > 0;}))
    << "nobody subscribes " << publisher->get_topic_name();
}

void RunningNode::publishReadings(const std::vector<std::uint16_t> & data)
{
  waitForSubscriber(readings_pub_);
  std_msgs::msg::UInt16MultiArray message;
  message.data = data;
  readings_pub_->publish(message);
}

void RunningNode::publishBumper(bool triggered)
{
  waitForSubscriber(bumper_pub_);
  quorvex_protocol::msg::RobotInfoLevelZero message;
  message.bumper_trig = triggered;
  bumper_pub_->publish(message);
}

void RunningNode::setSimulatedTime(std::int64_t nanoseconds)
{
  waitForSubscriber(clock_pub_);
  rosgraph_msgs::msg::Clock message;
  message.clock = rclcpp::Time(nanoseconds, RCL_ROS_TIME);
  clock_pub_->publish(message);
  EXPECT_TRUE(eventually([&] {return node_->now().nanoseconds() == nanoseconds;}))
    << "the node's clock never showed " << nanoseconds << " ns";
}

void RunningNode::publishReadingsAndWait(
  const std::vector<std::uint16_t> & data, const std::vector<std::shared_ptr<ScanLog>> & logs)
{
  std::vector<std::size_t> counts;
  for (const auto & log : logs) {
    counts.push_back(log->count());
  }
  publishReadings(data);
  for (std::size_t i = 0; i < logs.size(); ++i) {
    ASSERT_TRUE(logs[i]->waitForCount(counts[i] + 1)) << "no scan " << i + 1 << " for a reading";
  }
}

std::size_t reportCount(std::size_t sensor_number)
{
  return Diagnosis::getInstance().sensorReportCount(
    costmap_input::ultrasonicSensorId(sensor_number));
}

}  // namespace obsfeed_test
