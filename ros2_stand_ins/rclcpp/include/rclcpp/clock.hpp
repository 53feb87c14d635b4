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

#ifndef RCLCPP__CLOCK_HPP_
#define RCLCPP__CLOCK_HPP_

#include <atomic>
#include <memory>
#include <mutex>

#include "rcl/time.h"
#include "rclcpp/macros.hpp"
#include "rclcpp/time.hpp"

namespace rclcpp
{

class TimeSource;

/// Reads the current time of one clock type.
/// A ROS-time clock reads the system clock until a TimeSource switches it to simulated time,
/// from then on it reads the last value received on /clock.
class Clock
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Clock)

  /// Throws std::invalid_argument for a value that is no clock type. RCL_CLOCK_UNINITIALIZED
  /// makes a clock, as in Humble, that cannot be read.
  explicit Clock(rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  /// Throws exceptions::RCLError for an RCL_CLOCK_UNINITIALIZED clock.
  Time now() const;

  /// True when this is a ROS-time clock currently following simulated time.
  bool ros_time_is_active() const;

  rcl_clock_type_t get_clock_type() const noexcept;

  /// Lets callers make several reads appear atomic with respect to each other.
  std::mutex & get_clock_mutex() noexcept;

private:
  friend class TimeSource;

  void enable_ros_time_override(bool enabled);
  void set_ros_time_override(rcl_time_point_value_t nanoseconds);

  rcl_clock_type_t clock_type_;
  std::atomic<bool> ros_time_override_enabled_{false};
  std::atomic<rcl_time_point_value_t> ros_time_override_{0};
  std::mutex clock_mutex_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLOCK_HPP_
