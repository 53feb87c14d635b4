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

#include "rclcpp/clock.hpp"

#include <chrono>
#include <stdexcept>

#include "rcl/types.h"
#include "rcutils/error_handling.h"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace
{

template<typename ChronoClock>
rcl_time_point_value_t read_nanoseconds()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
    ChronoClock::now().time_since_epoch()).count();
}

}  // namespace

Clock::Clock(rcl_clock_type_t clock_type)
: clock_type_(clock_type)
{
  if (clock_type != RCL_CLOCK_UNINITIALIZED && clock_type != RCL_ROS_TIME &&
    clock_type != RCL_SYSTEM_TIME && clock_type != RCL_STEADY_TIME)
  {
    throw std::invalid_argument(
            "clock type must be RCL_CLOCK_UNINITIALIZED, RCL_ROS_TIME, RCL_SYSTEM_TIME or "
            "RCL_STEADY_TIME");
  }
}

Time Clock::now() const
{
  switch (clock_type_) {
    case RCL_ROS_TIME:
      if (ros_time_override_enabled_.load()) {
        return Time(ros_time_override_.load(), RCL_ROS_TIME);
      }
      return Time(read_nanoseconds<std::chrono::system_clock>(), RCL_ROS_TIME);
    case RCL_STEADY_TIME:
      return Time(read_nanoseconds<std::chrono::steady_clock>(), RCL_STEADY_TIME);
    case RCL_CLOCK_UNINITIALIZED:
      RCUTILS_SET_ERROR_MSG("Clock is not initialized or does not have get_now registered.");
      exceptions::throw_from_rcl_error(RCL_RET_ERROR, "could not get current time stamp");
    case RCL_SYSTEM_TIME:
    default:
      return Time(read_nanoseconds<std::chrono::system_clock>(), RCL_SYSTEM_TIME);
  }
}

bool Clock::ros_time_is_active() const
{
  return clock_type_ == RCL_ROS_TIME && ros_time_override_enabled_.load();
}

rcl_clock_type_t Clock::get_clock_type() const noexcept
{
  return clock_type_;
}

std::mutex & Clock::get_clock_mutex() noexcept
{
  return clock_mutex_;
}

void Clock::enable_ros_time_override(bool enabled)
{
  ros_time_override_enabled_.store(enabled);
}

void Clock::set_ros_time_override(rcl_time_point_value_t nanoseconds)
{
  ros_time_override_.store(nanoseconds);
}

}  // namespace rclcpp
