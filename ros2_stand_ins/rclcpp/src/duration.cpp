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

#include "rclcpp/duration.hpp"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "int64_arithmetic.hpp"

namespace rclcpp
{

Duration::Duration(int32_t seconds, uint32_t nanoseconds)
: nanoseconds_(RCL_S_TO_NS(static_cast<int64_t>(seconds)) + static_cast<int64_t>(nanoseconds))
{}

Duration::Duration(std::chrono::nanoseconds nanoseconds)
: nanoseconds_(nanoseconds.count())
{}

Duration::Duration(const builtin_interfaces::msg::Duration & duration_msg)
: Duration(duration_msg.sec, duration_msg.nanosec)
{}

Duration::Duration(const rcl_duration_t & duration)
: nanoseconds_(duration.nanoseconds)
{}

Duration & Duration::operator=(const builtin_interfaces::msg::Duration & duration_msg)
{
  *this = Duration(duration_msg);
  return *this;
}

Duration::operator builtin_interfaces::msg::Duration() const
{
  constexpr int64_t kNanosPerSecond = RCL_S_TO_NS(1);
  constexpr int32_t kMaxSeconds = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMinSeconds = std::numeric_limits<int32_t>::min();
  builtin_interfaces::msg::Duration msg;
  const auto split = std::div(nanoseconds_, kNanosPerSecond);
  if (split.rem >= 0) {
    if (split.quot > kMaxSeconds) {
      msg.sec = kMaxSeconds;
      msg.nanosec = std::numeric_limits<uint32_t>::max();
    } else {
      msg.sec = static_cast<int32_t>(split.quot);
      msg.nanosec = static_cast<uint32_t>(split.rem);
    }
  } else {
    // The message keeps nanosec non-negative, so a negative remainder borrows one second.
    if (split.quot <= kMinSeconds) {
      msg.sec = kMinSeconds;
      msg.nanosec = 0u;
    } else {
      msg.sec = static_cast<int32_t>(split.quot - 1);
      msg.nanosec = static_cast<uint32_t>(kNanosPerSecond + split.rem);
    }
  }
  return msg;
}

bool Duration::operator==(const Duration & rhs) const {return nanoseconds_ == rhs.nanoseconds_;}
bool Duration::operator!=(const Duration & rhs) const {return nanoseconds_ != rhs.nanoseconds_;}
bool Duration::operator<(const Duration & rhs) const {return nanoseconds_ < rhs.nanoseconds_;}
bool Duration::operator<=(const Duration & rhs) const {return nanoseconds_ <= rhs.nanoseconds_;}
bool Duration::operator>=(const Duration & rhs) const {return nanoseconds_ >= rhs.nanoseconds_;}
bool Duration::operator>(const Duration & rhs) const {return nanoseconds_ > rhs.nanoseconds_;}

Duration Duration::operator+(const Duration & rhs) const
{
  return from_nanoseconds(detail::checked_add(nanoseconds_, rhs.nanoseconds_, "addition"));
}

Duration & Duration::operator+=(const Duration & rhs)
{
  *this = *this + rhs;
  return *this;
}

Duration Duration::operator-(const Duration & rhs) const
{
  return from_nanoseconds(
    detail::checked_sub(
      nanoseconds_, rhs.nanoseconds_,
      "duration subtraction"));
}

Duration & Duration::operator-=(const Duration & rhs)
{
  *this = *this - rhs;
  return *this;
}

Duration Duration::operator*(double scale) const
{
  if (!std::isfinite(scale)) {
    throw std::runtime_error("abnormal scale in rclcpp::Duration");
  }
  const long double scaled = static_cast<long double>(nanoseconds_) * scale;
  if (scaled > static_cast<long double>(std::numeric_limits<int64_t>::max())) {
    throw std::overflow_error("duration scaling leads to int64_t overflow");
  }
  if (scaled < static_cast<long double>(std::numeric_limits<int64_t>::min())) {
    throw std::underflow_error("duration scaling leads to int64_t underflow");
  }
  return from_nanoseconds(static_cast<rcl_duration_value_t>(scaled));
}

Duration & Duration::operator*=(double scale)
{
  *this = *this * scale;
  return *this;
}

Duration Duration::max()
{
  return Duration(std::numeric_limits<int32_t>::max(), 999999999);
}

Duration Duration::from_seconds(double seconds)
{
  return Duration(std::chrono::duration<double>(seconds));
}

Duration Duration::from_nanoseconds(rcl_duration_value_t nanoseconds)
{
  Duration duration;
  duration.nanoseconds_ = nanoseconds;
  return duration;
}

rcl_duration_value_t Duration::nanoseconds() const
{
  return nanoseconds_;
}

double Duration::seconds() const
{
  return std::chrono::duration<double>(std::chrono::nanoseconds(nanoseconds_)).count();
}

}  // namespace rclcpp
