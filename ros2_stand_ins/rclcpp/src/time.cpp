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

#include "rclcpp/time.hpp"

#include <chrono>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "int64_arithmetic.hpp"

namespace rclcpp
{
namespace
{

void require_same_clock(const Time & lhs, const Time & rhs, const char * message)
{
  if (lhs.get_clock_type() != rhs.get_clock_type()) {
    throw std::runtime_error(message);
  }
}

constexpr char kCompareError[] = "can't compare times with different time sources";

}  // namespace

Time::Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type)
: time_point_{0, clock_type}
{
  if (seconds < 0) {
    throw std::runtime_error("cannot store a negative time point in rclcpp::Time");
  }
  time_point_.nanoseconds =
    RCL_S_TO_NS(static_cast<int64_t>(seconds)) + static_cast<int64_t>(nanoseconds);
}

Time::Time(int64_t nanoseconds, rcl_clock_type_t clock_type)
: time_point_{nanoseconds, clock_type}
{}

Time::Time(const builtin_interfaces::msg::Time & time_msg, rcl_clock_type_t clock_type)
: Time(time_msg.sec, time_msg.nanosec, clock_type)
{}

Time::Time(const rcl_time_point_t & time_point)
: time_point_(time_point)
{}

Time::operator builtin_interfaces::msg::Time() const
{
  constexpr int64_t kNanosPerSecond = RCL_S_TO_NS(1);
  builtin_interfaces::msg::Time msg;
  const auto split = std::div(time_point_.nanoseconds, kNanosPerSecond);
  if (split.rem >= 0) {
    msg.sec = static_cast<int32_t>(split.quot);
    msg.nanosec = static_cast<uint32_t>(split.rem);
  } else {
    // The message keeps nanosec non-negative, so a negative remainder borrows one second.
    msg.sec = static_cast<int32_t>(split.quot - 1);
    msg.nanosec = static_cast<uint32_t>(kNanosPerSecond + split.rem);
  }
  return msg;
}

Time & Time::operator=(const builtin_interfaces::msg::Time & time_msg)
{
  *this = Time(time_msg);
  return *this;
}

bool Time::operator==(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, kCompareError);
  return time_point_.nanoseconds == rhs.time_point_.nanoseconds;
}

bool Time::operator!=(const rclcpp::Time & rhs) const
{
  return !(*this == rhs);
}

bool Time::operator<(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, kCompareError);
  return time_point_.nanoseconds < rhs.time_point_.nanoseconds;
}

bool Time::operator<=(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, kCompareError);
  return time_point_.nanoseconds <= rhs.time_point_.nanoseconds;
}

bool Time::operator>=(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, kCompareError);
  return time_point_.nanoseconds >= rhs.time_point_.nanoseconds;
}

bool Time::operator>(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, kCompareError);
  return time_point_.nanoseconds > rhs.time_point_.nanoseconds;
}

Time Time::operator+(const rclcpp::Duration & rhs) const
{
  return Time(
    detail::checked_add(time_point_.nanoseconds, rhs.nanoseconds(), "addition"),
    time_point_.clock_type);
}

Duration Time::operator-(const rclcpp::Time & rhs) const
{
  require_same_clock(*this, rhs, "can't subtract times with different time sources");
  return Duration::from_nanoseconds(
    detail::checked_sub(
      time_point_.nanoseconds, rhs.time_point_.nanoseconds, "time subtraction"));
}

Time Time::operator-(const rclcpp::Duration & rhs) const
{
  return Time(
    detail::checked_sub(time_point_.nanoseconds, rhs.nanoseconds(), "time subtraction"),
    time_point_.clock_type);
}

Time & Time::operator+=(const rclcpp::Duration & rhs)
{
  *this = *this + rhs;
  return *this;
}

Time & Time::operator-=(const rclcpp::Duration & rhs)
{
  *this = *this - rhs;
  return *this;
}

rcl_time_point_value_t Time::nanoseconds() const
{
  return time_point_.nanoseconds;
}

double Time::seconds() const
{
  return std::chrono::duration<double>(std::chrono::nanoseconds(time_point_.nanoseconds)).count();
}

rcl_clock_type_t Time::get_clock_type() const
{
  return time_point_.clock_type;
}

Time Time::max()
{
  return Time(std::numeric_limits<int32_t>::max(), 999999999);
}

Time operator+(const rclcpp::Duration & lhs, const rclcpp::Time & rhs)
{
  return rhs + lhs;
}

}  // namespace rclcpp
