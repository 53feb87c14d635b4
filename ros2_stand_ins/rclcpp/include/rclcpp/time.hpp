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

#ifndef RCLCPP__TIME_HPP_
#define RCLCPP__TIME_HPP_

#include "builtin_interfaces/msg/time.hpp"
#include "rcl/time.h"
#include "rclcpp/duration.hpp"

namespace rclcpp
{

/// A point in time on one kind of clock; points of different clocks never mix.
class Time
{
public:
  /// Throws std::runtime_error for negative seconds: a time point before the epoch is not storable.
  Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  explicit Time(int64_t nanoseconds = 0, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  Time(const Time & rhs) = default;

  /// Throws std::runtime_error for negative seconds in the message.
  // cppcheck-suppress noExplicitConstructor
  Time(
    // NOLINT(runtime/explicit)
    const builtin_interfaces::msg::Time & time_msg,
    rcl_clock_type_t clock_type = RCL_ROS_TIME);

  explicit Time(const rcl_time_point_t & time_point);

  virtual ~Time() = default;

  /// Negative times are kept and split with a non-negative nanosec (-10 ms is sec -1, 990000000).
  operator builtin_interfaces::msg::Time() const;

  Time & operator=(const Time & rhs) = default;
  /// Assigning a message makes this a ROS time point.
  Time & operator=(const builtin_interfaces::msg::Time & time_msg);

  /// Comparisons and Time - Time throw std::runtime_error for different clock types.
  bool operator==(const rclcpp::Time & rhs) const;
  bool operator!=(const rclcpp::Time & rhs) const;
  bool operator<(const rclcpp::Time & rhs) const;
  bool operator<=(const rclcpp::Time & rhs) const;
  bool operator>=(const rclcpp::Time & rhs) const;
  bool operator>(const rclcpp::Time & rhs) const;

  /// Arithmetic throws std::overflow_error / std::underflow_error only when int64 would wrap.
  Time operator+(const rclcpp::Duration & rhs) const;
  Duration operator-(const rclcpp::Time & rhs) const;
  Time operator-(const rclcpp::Duration & rhs) const;
  Time & operator+=(const rclcpp::Duration & rhs);
  Time & operator-=(const rclcpp::Duration & rhs);

  rcl_time_point_value_t nanoseconds() const;
  double seconds() const;
  rcl_clock_type_t get_clock_type() const;

  static Time max();

private:
  rcl_time_point_t time_point_;
};

Time operator+(const rclcpp::Duration & lhs, const rclcpp::Time & rhs);

}  // namespace rclcpp

#endif  // RCLCPP__TIME_HPP_
