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

#ifndef RCLCPP__TIMER_HPP_
#define RCLCPP__TIMER_HPP_

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <ratio>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/detail/executable.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{

class Node;

/// Expires once per period of its clock; an executor runs the callback of each expiry in the
/// timer's callback group. Expiries missed while nobody could run them are skipped, not
/// queued: the next one stays on the period's grid.
///
/// The executor wakes for an expiry on the steady clock: a timer on a ROS-time clock that
/// follows /clock is not supported.
class TimerBase : public detail::Executable
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(TimerBase)

  /// The first expiry is one period from now. `context` null: the global default context.
  /// \throws exceptions::RCLInvalidArgument for a negative period
  /// \throws exceptions::RCLError "Couldn't initialize rcl timer handle: ..." when the
  ///   context is not valid
  TimerBase(
    Clock::SharedPtr clock, std::chrono::nanoseconds period, rclcpp::Context::SharedPtr context);
  ~TimerBase() override;

  TimerBase(const TimerBase &) = delete;
  TimerBase & operator=(const TimerBase &) = delete;

  /// No expiry until reset().
  void cancel();
  bool is_canceled();
  /// The next expiry is one period from now, also for a canceled timer.
  void reset();

  /// Takes the due expiry as handled: the next one is a period later (or the first one of the
  /// grid after now). False, changing nothing, for a canceled timer.
  virtual bool call() = 0;
  virtual void execute_callback() = 0;

  /// Until the next expiry (negative when overdue); nanoseconds::max() when canceled.
  std::chrono::nanoseconds time_until_trigger();

  virtual bool is_steady() = 0;

  /// Whether an expiry is due and the timer not canceled.
  bool is_ready();

protected:
  /// What call() does; with `only_if_due` nothing happens unless an expiry is due, so that two
  /// threads cannot both take the same expiry.
  bool advance(bool only_if_due);

  Clock::SharedPtr clock_;

private:
  friend class Node;

  bool has_work() override;
  std::shared_ptr<const void> take_work() override;
  void execute_work(std::shared_ptr<const void> work) override;
  std::chrono::steady_clock::time_point next_work_time() override;

  int64_t now_ns() const;

  const int64_t period_ns_;
  std::atomic<int64_t> next_call_ns_;
  std::atomic<bool> canceled_{false};
  // Wakes the executor of the timer's group, so that it waits for the new expiry.
  std::function<void()> on_reset_;
};

using VoidCallbackType = std::function<void ()>;
using TimerCallbackType = std::function<void (TimerBase &)>;

namespace detail
{

template<typename FunctorT>
constexpr bool is_timer_callback_v =
  std::is_invocable_v<FunctorT &>|| std::is_invocable_v<FunctorT &, TimerBase &>;

/// A timer's period in nanoseconds, refused as Humble refuses it: std::invalid_argument "timer
/// period cannot be negative" / "timer period must be less than std::chrono::nanoseconds::max()",
/// std::runtime_error when the conversion still overflows.
template<typename DurationRepT, typename DurationT>
std::chrono::nanoseconds checked_timer_period(std::chrono::duration<DurationRepT, DurationT> period)
{
  if (period < std::chrono::duration<DurationRepT, DurationT>::zero()) {
    throw std::invalid_argument{"timer period cannot be negative"};
  }
  // Compared as doubles, a unit below the limit: the limit itself may not be exact in DurationT.
  const std::chrono::duration<double, std::nano> largest =
    std::chrono::nanoseconds::max() - std::chrono::duration<DurationRepT, DurationT>(1);
  if (period > largest) {
    throw std::invalid_argument{
            "timer period must be less than std::chrono::nanoseconds::max()"};
  }
  const auto period_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(period);
  if (period_ns < std::chrono::nanoseconds::zero()) {
    throw std::runtime_error{"Casting timer period to nanoseconds resulted in integer overflow."};
  }
  return period_ns;
}

}  // namespace detail

/// A timer whose callback takes nothing or the timer itself.
template<
  typename FunctorT,
  typename std::enable_if<detail::is_timer_callback_v<FunctorT>>::type * = nullptr>
class GenericTimer : public TimerBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(GenericTimer)

  GenericTimer(
    Clock::SharedPtr clock, std::chrono::nanoseconds period, FunctorT && callback,
    rclcpp::Context::SharedPtr context)
  : TimerBase(std::move(clock), period, std::move(context)),
    callback_(std::forward<FunctorT>(callback))
  {}

  ~GenericTimer() override
  {
    cancel();
  }

  bool call() override
  {
    return advance(false);
  }

  void execute_callback() override
  {
    if constexpr (std::is_invocable_v<FunctorT &, TimerBase &>) {
      callback_(*this);
    } else {
      callback_();
    }
  }

  bool is_steady() override
  {
    return clock_->get_clock_type() == RCL_STEADY_TIME;
  }

protected:
  FunctorT callback_;
};

/// A timer on the steady clock, which neither jumps nor follows simulated time.
template<
  typename FunctorT,
  typename std::enable_if<detail::is_timer_callback_v<FunctorT>>::type * = nullptr>
class WallTimer : public GenericTimer<FunctorT>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(WallTimer)

  WallTimer(
    std::chrono::nanoseconds period, FunctorT && callback, rclcpp::Context::SharedPtr context)
  : GenericTimer<FunctorT>(
      std::make_shared<Clock>(RCL_STEADY_TIME), period, std::move(callback), std::move(context))
  {}
};

}  // namespace rclcpp

#endif  // RCLCPP__TIMER_HPP_
