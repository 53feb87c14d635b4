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

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/executors.hpp"
#include "rclcpp/node.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "runtime_test_support.hpp"

namespace
{

rosgraph_msgs::msg::Clock clock_message(int32_t sec, uint32_t nanosec)
{
  rosgraph_msgs::msg::Clock msg;
  msg.clock.sec = sec;
  msg.clock.nanosec = nanosec;
  return msg;
}

int64_t system_now()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
    std::chrono::system_clock::now().time_since_epoch()).count();
}

/// A set of use_sim_time takes effect once the node's executor has seen the parameter event,
/// and clock messages arrive over the middleware: in Humble neither is immediate, so the tests
/// spin the node until what they expect has come true (or ten seconds have passed).
class TimeSourceTest : public test_support::ContextTest
{
protected:
  bool eventually(const rclcpp::Node::SharedPtr & node, const std::function<bool()> & condition)
  {
    rclcpp::ExecutorOptions options;
    options.context = context_;
    rclcpp::executors::SingleThreadedExecutor executor(options);
    executor.add_node(node);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
      executor.spin_some();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
  }
};

}  // namespace

TEST_F(TimeSourceTest, NodeClockFollowsClockTopicWhileUseSimTimeIsSet)
{
  auto node = std::make_shared<rclcpp::Node>("sim", test_support::options_for(context_));
  auto clock_publisher =
    node->create_publisher<rosgraph_msgs::msg::Clock>("/clock", rclcpp::ClockQoS());
  // Off by default: ROS time reads the system clock and /clock is ignored.
  EXPECT_FALSE(node->get_parameter("use_sim_time").as_bool());
  clock_publisher->publish(clock_message(5, 0));
  EXPECT_EQ(node->now().get_clock_type(), RCL_ROS_TIME);
  EXPECT_NEAR(node->now().nanoseconds(), system_now(), 60e9);
  EXPECT_EQ(clock_publisher->get_subscription_count(), 0u);

  // On: zero until a clock message arrives, then exactly the received time.
  ASSERT_TRUE(node->set_parameter(rclcpp::Parameter("use_sim_time", true)).successful);
  ASSERT_TRUE(eventually(node, [&]() {return node->get_clock()->ros_time_is_active();}));
  EXPECT_EQ(node->now().nanoseconds(), 0);
  ASSERT_TRUE(eventually(node, [&]() {return clock_publisher->get_subscription_count() == 1u;}));
  clock_publisher->publish(clock_message(12, 34));
  EXPECT_TRUE(eventually(node, [&]() {return node->now().nanoseconds() == 12000000034LL;}));

  // Off again: back to the system clock, and the subscription is gone.
  ASSERT_TRUE(node->set_parameters({rclcpp::Parameter("use_sim_time", false)}).front().successful);
  ASSERT_TRUE(eventually(node, [&]() {return !node->get_clock()->ros_time_is_active();}));
  EXPECT_NEAR(node->now().nanoseconds(), system_now(), 60e9);
  EXPECT_TRUE(eventually(node, [&]() {return clock_publisher->get_subscription_count() == 0u;}));

  // A wrongly typed set is refused and changes nothing.
  EXPECT_FALSE(node->set_parameter(rclcpp::Parameter("use_sim_time", "yes")).successful);
  EXPECT_FALSE(node->get_clock()->ros_time_is_active());
}

TEST_F(TimeSourceTest, UseSimTimeGivenAtStartAppliesFromConstructionOnTheRemappableTopic)
{
  struct Case {std::vector<std::string> arguments; std::string topic; int32_t sec;};
  const Case cases[] = {
    {{"--ros-args", "-p", "use_sim_time:=true"}, "/clock", 7},
    {{"--ros-args", "-r", "/clock:=/sim/clock", "-p", "use_sim_time:=true"}, "/sim/clock", 3}};
  for (const Case & c : cases) {
    auto node = std::make_shared<rclcpp::Node>(
      "sim_from_start", test_support::options_for(context_).arguments(c.arguments));
    EXPECT_TRUE(node->get_clock()->ros_time_is_active());
    // The clock subscription's QoS may be overridden, as any entity's with overriding options.
    EXPECT_EQ(
      node->get_parameter("qos_overrides." + c.topic + ".subscription.reliability").as_string(),
      "best_effort");
    EXPECT_EQ(node->now().nanoseconds(), 0);
    auto publisher = node->create_publisher<rosgraph_msgs::msg::Clock>(c.topic, rclcpp::ClockQoS());
    ASSERT_TRUE(eventually(node, [&]() {return publisher->get_subscription_count() == 1u;}));
    publisher->publish(clock_message(c.sec, 0));
    EXPECT_TRUE(eventually(node, [&]() {return node->now().nanoseconds() == c.sec * 1000000000LL;}))
      << c.topic;
  }
}
