// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

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

class TimeSourceTest : public test_support::ContextTest {};

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
  EXPECT_TRUE(node->get_clock()->ros_time_is_active());
  EXPECT_EQ(node->now().nanoseconds(), 0);
  EXPECT_EQ(clock_publisher->get_subscription_count(), 1u);
  clock_publisher->publish(clock_message(12, 34));
  EXPECT_EQ(node->now().nanoseconds(), 12000000034LL);
  clock_publisher->publish(clock_message(13, 0));
  EXPECT_EQ(node->now(), rclcpp::Time(13, 0, RCL_ROS_TIME));

  // Off again: back to the system clock, and the subscription is gone.
  ASSERT_TRUE(node->set_parameters({rclcpp::Parameter("use_sim_time", false)}).front().successful);
  EXPECT_FALSE(node->get_clock()->ros_time_is_active());
  EXPECT_NEAR(node->now().nanoseconds(), system_now(), 60e9);
  EXPECT_EQ(clock_publisher->get_subscription_count(), 0u);

  // A wrongly typed set is refused and changes nothing.
  EXPECT_FALSE(node->set_parameter(rclcpp::Parameter("use_sim_time", "yes")).successful);
  EXPECT_FALSE(node->get_clock()->ros_time_is_active());
}

TEST_F(TimeSourceTest, UseSimTimeOverrideAppliesFromConstruction)
{
  auto options = test_support::options_for(context_);
  options.append_parameter_override("use_sim_time", true);
  auto node = std::make_shared<rclcpp::Node>("sim_from_start", options);
  EXPECT_TRUE(node->get_clock()->ros_time_is_active());
  EXPECT_EQ(node->now().nanoseconds(), 0);

  auto clock_publisher =
    node->create_publisher<rosgraph_msgs::msg::Clock>("/clock", rclcpp::ClockQoS());
  clock_publisher->publish(clock_message(7, 0));
  EXPECT_EQ(node->now().nanoseconds(), 7000000000LL);
}

TEST_F(TimeSourceTest, ClockTopicIsRemappable)
{
  auto options = test_support::options_for(context_);
  options.arguments({"--ros-args", "-r", "/clock:=/sim/clock", "-p", "use_sim_time:=true"});
  auto node = std::make_shared<rclcpp::Node>("remapped_clock", options);
  auto remapped =
    node->create_publisher<rosgraph_msgs::msg::Clock>("/sim/clock", rclcpp::ClockQoS());
  remapped->publish(clock_message(3, 0));
  EXPECT_EQ(node->now().nanoseconds(), 3000000000LL);
}
