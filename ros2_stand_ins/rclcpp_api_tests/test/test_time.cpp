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
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "builtin_interfaces/msg/duration.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/time.hpp"

using namespace std::chrono_literals;

namespace
{
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
}  // namespace

TEST(Time, ConvertsToMessageKeepingNanosecNonNegative)
{
  const rclcpp::Time stamp(1, 500000000u, RCL_ROS_TIME);
  const rclcpp::Time before_epoch = stamp - rclcpp::Duration(1, 510000000u);
  EXPECT_EQ(before_epoch.nanoseconds(), -10000000);

  builtin_interfaces::msg::Time msg = before_epoch;
  EXPECT_EQ(msg.sec, -1);
  EXPECT_EQ(msg.nanosec, 990000000u);

  msg = rclcpp::Time(-1000000000LL);
  EXPECT_EQ(msg.sec, -1);
  EXPECT_EQ(msg.nanosec, 0u);

  msg = rclcpp::Time(12, 345u);
  EXPECT_EQ(msg.sec, 12);
  EXPECT_EQ(msg.nanosec, 345u);

  // Round trip through the message; a message means ROS time unless told otherwise.
  const rclcpp::Time back(msg);
  EXPECT_EQ(back.nanoseconds(), 12000000345LL);
  EXPECT_EQ(back.get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(rclcpp::Time(msg, RCL_STEADY_TIME).get_clock_type(), RCL_STEADY_TIME);
}

TEST(Time, RejectsNegativeSecondsButKeepsNegativeNanoseconds)
{
  EXPECT_THROW(rclcpp::Time(-1, 0u), std::runtime_error);
  builtin_interfaces::msg::Time msg;
  msg.sec = -1;
  EXPECT_THROW(rclcpp::Time{msg}, std::runtime_error);
  EXPECT_EQ(rclcpp::Time(int64_t{-5}).nanoseconds(), -5);
  // Nanoseconds beyond one second add up instead of being rejected.
  EXPECT_EQ(rclcpp::Time(1, 1500000000u).nanoseconds(), 2500000000LL);
}

TEST(Time, ArithmeticThrowsOnlyWhenInt64Wraps)
{
  const rclcpp::Time near_max(kMax - 1, RCL_SYSTEM_TIME);
  EXPECT_EQ((near_max + rclcpp::Duration::from_nanoseconds(1)).nanoseconds(), kMax);
  EXPECT_THROW(near_max + rclcpp::Duration::from_nanoseconds(2), std::overflow_error);
  EXPECT_THROW(rclcpp::Duration::from_nanoseconds(2) + near_max, std::overflow_error);

  const rclcpp::Time near_min(kMin + 1, RCL_SYSTEM_TIME);
  EXPECT_EQ((near_min - rclcpp::Duration::from_nanoseconds(1)).nanoseconds(), kMin);
  EXPECT_THROW(near_min - rclcpp::Duration::from_nanoseconds(2), std::underflow_error);
  EXPECT_THROW(near_min + rclcpp::Duration::from_nanoseconds(-2), std::underflow_error);
  EXPECT_THROW(near_max - rclcpp::Duration::from_nanoseconds(-2), std::overflow_error);

  EXPECT_THROW(near_max - near_min, std::overflow_error);
  EXPECT_THROW(near_min - near_max, std::underflow_error);
  EXPECT_EQ((rclcpp::Time(5) - rclcpp::Time(8)).nanoseconds(), -3);

  rclcpp::Time accumulating(0, 0u);
  accumulating += 1500ms;
  accumulating -= rclcpp::Duration(0, 500000000u);
  EXPECT_EQ(accumulating.nanoseconds(), 1000000000LL);
  EXPECT_DOUBLE_EQ(accumulating.seconds(), 1.0);
}

TEST(Time, DifferentClockTypesDoNotMix)
{
  const rclcpp::Time ros(10, 0u, RCL_ROS_TIME);
  const rclcpp::Time system(10, 0u, RCL_SYSTEM_TIME);
  EXPECT_THROW(ros - system, std::runtime_error);
  EXPECT_THROW((void)(ros == system), std::runtime_error);
  EXPECT_THROW((void)(ros < system), std::runtime_error);
  // Adding a duration keeps the clock type.
  EXPECT_EQ((ros + 1s).get_clock_type(), RCL_ROS_TIME);
  EXPECT_TRUE(ros < ros + 1ns);
  EXPECT_TRUE(ros >= ros);
  EXPECT_TRUE(ros != ros + 1ns);
}

TEST(Duration, ConvertsBetweenRepresentations)
{
  EXPECT_EQ(rclcpp::Duration(1, 5u).nanoseconds(), 1000000005LL);
  EXPECT_EQ(rclcpp::Duration(-1, 5u).nanoseconds(), -999999995LL);
  EXPECT_EQ(rclcpp::Duration(250ms).nanoseconds(), 250000000LL);
  EXPECT_EQ(rclcpp::Duration::from_seconds(-0.25).nanoseconds(), -250000000LL);
  EXPECT_DOUBLE_EQ(rclcpp::Duration::from_seconds(2.5).seconds(), 2.5);
  EXPECT_EQ(rclcpp::Duration(3s).to_chrono<std::chrono::milliseconds>(), 3000ms);

  builtin_interfaces::msg::Duration msg = rclcpp::Duration::from_nanoseconds(-10000000);
  EXPECT_EQ(msg.sec, -1);
  EXPECT_EQ(msg.nanosec, 990000000u);
  EXPECT_EQ(rclcpp::Duration(msg).nanoseconds(), -10000000);

  // Beyond the message's range the conversion saturates instead of wrapping.
  msg = rclcpp::Duration::from_nanoseconds(kMax);
  EXPECT_EQ(msg.sec, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(msg.nanosec, std::numeric_limits<uint32_t>::max());
  msg = rclcpp::Duration::from_nanoseconds(kMin);
  EXPECT_EQ(msg.sec, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(msg.nanosec, 0u);
}

TEST(Duration, ArithmeticChecksRange)
{
  const auto max = rclcpp::Duration::from_nanoseconds(kMax);
  const auto min = rclcpp::Duration::from_nanoseconds(kMin);
  const auto one = rclcpp::Duration::from_nanoseconds(1);
  EXPECT_THROW(max + one, std::overflow_error);
  EXPECT_THROW(min - one, std::underflow_error);
  EXPECT_THROW(max * 2.0, std::overflow_error);
  EXPECT_THROW(max * -2.0, std::underflow_error);
  EXPECT_THROW(one * std::numeric_limits<double>::infinity(), std::runtime_error);
  EXPECT_EQ((rclcpp::Duration(2s) * 0.5).nanoseconds(), 1000000000LL);
  EXPECT_TRUE(rclcpp::Duration(1s) < rclcpp::Duration(2s));
}

TEST(Clock, ReadsTheRequestedClock)
{
  // Made, as in Humble, but not readable.
  rclcpp::Clock uninitialized{RCL_CLOCK_UNINITIALIZED};
  EXPECT_THROW(uninitialized.now(), rclcpp::exceptions::RCLError);

  rclcpp::Clock system_clock;
  EXPECT_EQ(system_clock.get_clock_type(), RCL_SYSTEM_TIME);
  const auto system_now = std::chrono::duration_cast<std::chrono::nanoseconds>(
    std::chrono::system_clock::now().time_since_epoch()).count();
  // Both read the same wall clock; a minute apart would mean a wrong clock, not a slow test.
  EXPECT_NEAR(system_clock.now().nanoseconds(), system_now, 60e9);

  rclcpp::Clock steady_clock(RCL_STEADY_TIME);
  const auto first = steady_clock.now();
  EXPECT_EQ(first.get_clock_type(), RCL_STEADY_TIME);
  EXPECT_LE(first, steady_clock.now());

  rclcpp::Clock ros_clock(RCL_ROS_TIME);
  EXPECT_FALSE(ros_clock.ros_time_is_active());
  EXPECT_EQ(ros_clock.now().get_clock_type(), RCL_ROS_TIME);
  EXPECT_NEAR(ros_clock.now().nanoseconds(), system_now, 60e9);
}
