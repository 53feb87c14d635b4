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

#include "rclcpp/timer.hpp"

#include <limits>
#include <utility>

#include "rcl/types.h"
#include "rcutils/error_handling.h"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/detail/context_checks.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace
{

/// The token a taken expiry is: executors only need it to be non-null.
const std::shared_ptr<const void> & expiry_token()
{
  static const std::shared_ptr<const void> token = std::make_shared<int>(0);
  return token;
}

/// `time` plus `span`, held at the end of time rather than wrapping for huge periods.
int64_t later(int64_t time, int64_t span)
{
  int64_t sum = 0;
  return __builtin_add_overflow(time, span, &sum) ? std::numeric_limits<int64_t>::max() : sum;
}

}  // namespace

TimerBase::TimerBase(
  Clock::SharedPtr clock, std::chrono::nanoseconds period, rclcpp::Context::SharedPtr context)
: clock_(std::move(clock)), period_ns_(period.count())
{
  if (!context) {
    context = rclcpp::contexts::get_global_default_context();
  }
  if (period_ns_ < 0) {
    RCUTILS_SET_ERROR_MSG("timer period must be non-negative");
    exceptions::throw_from_rcl_error(
      RCL_RET_INVALID_ARGUMENT, "Couldn't initialize rcl timer handle");
  }
  // rcl gives every timer a guard condition, which an invalid context refuses.
  detail::throw_unless_guard_condition_possible(*context, "Couldn't initialize rcl timer handle");
  next_call_ns_.store(later(now_ns(), period_ns_));
}

TimerBase::~TimerBase() = default;

void TimerBase::cancel()
{
  canceled_.store(true);
}

bool TimerBase::is_canceled()
{
  return canceled_.load();
}

void TimerBase::reset()
{
  next_call_ns_.store(later(now_ns(), period_ns_));
  canceled_.store(false);
  if (on_reset_) {
    on_reset_();
  }
}

std::chrono::nanoseconds TimerBase::time_until_trigger()
{
  if (canceled_.load()) {
    return std::chrono::nanoseconds::max();
  }
  return std::chrono::nanoseconds(next_call_ns_.load() - now_ns());
}

bool TimerBase::is_ready()
{
  return !canceled_.load() && next_call_ns_.load() <= now_ns();
}

bool TimerBase::advance(bool only_if_due)
{
  if (canceled_.load()) {
    return false;
  }
  const int64_t now = now_ns();
  int64_t next = next_call_ns_.load();
  while (true) {
    if (only_if_due && now < next) {
      return false;
    }
    // On the grid of the first expiry, whatever the delay of this call: missed expiries are
    // skipped, never run late one after another.
    int64_t following = later(next, period_ns_);
    if (following < now) {
      following = period_ns_ == 0 ?
        now : following + ((now - following - 1) / period_ns_ + 1) * period_ns_;
    }
    if (next_call_ns_.compare_exchange_weak(next, following)) {
      return true;
    }
  }
}

bool TimerBase::has_work()
{
  return is_ready();
}

std::shared_ptr<const void> TimerBase::take_work()
{
  return advance(true) ? expiry_token() : nullptr;
}

void TimerBase::execute_work(std::shared_ptr<const void>)
{
  execute_callback();
}

std::chrono::steady_clock::time_point TimerBase::next_work_time()
{
  if (canceled_.load()) {
    return std::chrono::steady_clock::time_point::max();
  }
  const int64_t next = next_call_ns_.load();
  if (clock_->get_clock_type() == RCL_STEADY_TIME) {
    // The steady clock reads std::chrono::steady_clock: the same time line.
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(next));
  }
  // Read after the timer's clock, so that it errs late, never early.
  const int64_t until = next - now_ns();
  const int64_t steady_now = std::chrono::duration_cast<std::chrono::nanoseconds>(
    std::chrono::steady_clock::now().time_since_epoch()).count();
  return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(later(steady_now, until)));
}

int64_t TimerBase::now_ns() const
{
  return clock_->now().nanoseconds();
}

}  // namespace rclcpp
