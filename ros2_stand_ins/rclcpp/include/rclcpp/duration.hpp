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

#ifndef RCLCPP__DURATION_HPP_
#define RCLCPP__DURATION_HPP_

#include <chrono>

#include "builtin_interfaces/msg/duration.hpp"
#include "rcl/time.h"

namespace rclcpp
{

/// A signed span of time with nanosecond resolution, independent of any clock.
class Duration
{
public:
  /// Seconds plus nanoseconds; the nanoseconds may exceed one second and simply add up.
  Duration(int32_t seconds, uint32_t nanoseconds);

  explicit Duration(std::chrono::nanoseconds nanoseconds);

  /// Implicit from any chrono duration, so `node->now() - 10ms` reads naturally.
  template<class Rep, class Period>
  // cppcheck-suppress noExplicitConstructor
  Duration(const std::chrono::duration<Rep, Period> & duration)  // NOLINT(runtime/explicit)
  : Duration(std::chrono::duration_cast<std::chrono::nanoseconds>(duration))
  {}

  // cppcheck-suppress noExplicitConstructor
  Duration(const builtin_interfaces::msg::Duration & duration_msg);  // NOLINT(runtime/explicit)

  explicit Duration(const rcl_duration_t & duration);

  Duration(const Duration & rhs) = default;
  Duration & operator=(const Duration & rhs) = default;
  Duration & operator=(const builtin_interfaces::msg::Duration & duration_msg);

  /// Saturates at the message's limits instead of wrapping.
  operator builtin_interfaces::msg::Duration() const;

  bool operator==(const Duration & rhs) const;
  bool operator!=(const Duration & rhs) const;
  bool operator<(const Duration & rhs) const;
  bool operator<=(const Duration & rhs) const;
  bool operator>=(const Duration & rhs) const;
  bool operator>(const Duration & rhs) const;

  /// Arithmetic throws std::overflow_error / std::underflow_error when int64 would wrap.
  Duration operator+(const Duration & rhs) const;
  Duration & operator+=(const Duration & rhs);
  Duration operator-(const Duration & rhs) const;
  Duration & operator-=(const Duration & rhs);
  /// Throws std::runtime_error for a non-finite scale.
  Duration operator*(double scale) const;
  Duration & operator*=(double scale);

  static Duration max();
  static Duration from_seconds(double seconds);
  static Duration from_nanoseconds(rcl_duration_value_t nanoseconds);

  rcl_duration_value_t nanoseconds() const;
  double seconds() const;

  template<class DurationT>
  DurationT to_chrono() const
  {
    return std::chrono::duration_cast<DurationT>(std::chrono::nanoseconds(nanoseconds_));
  }

private:
  Duration() = default;

  rcl_duration_value_t nanoseconds_ = 0;
};

}  // namespace rclcpp

#endif  // RCLCPP__DURATION_HPP_
