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

#ifndef RCLCPP__CALLBACK_GROUP_HPP_
#define RCLCPP__CALLBACK_GROUP_HPP_

#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "rclcpp/detail/executable.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rclcpp/timer.hpp"

namespace rclcpp
{

class Node;
class Executor;

enum class CallbackGroupType
{
  MutuallyExclusive,
  Reentrant
};

/// A set of callbacks with one concurrency rule: a mutually exclusive group never runs two of its
/// callbacks at once, a reentrant group may run any number (even of the same callback).
/// The group only refers to its subscriptions, timers and events; whoever created them keeps
/// them alive.
class CallbackGroup
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(CallbackGroup)

  explicit CallbackGroup(
    CallbackGroupType group_type,
    bool automatically_add_to_executor_with_node = true);

  CallbackGroup(const CallbackGroup &) = delete;
  CallbackGroup & operator=(const CallbackGroup &) = delete;

  /// Executors clear this while one of a mutually exclusive group's callbacks runs.
  std::atomic_bool & can_be_taken_from();

  const CallbackGroupType & type() const;

  /// An executor claims the group by setting this; a group belongs to at most one executor.
  std::atomic_bool & get_associated_with_executor_atomic();

  /// Whether an executor given the group's node also takes this group.
  bool automatically_add_to_executor_with_node() const;

  /// The first live subscription, in creation order, for which `func` returns true; null if
  /// none. `func` runs under the group's lock and must not call back into the group.
  template<typename Function>
  SubscriptionBase::SharedPtr find_subscription_ptrs_if(Function func) const
  {
    return find_if_of_type<SubscriptionBase>(func);
  }

  /// As find_subscription_ptrs_if, for the group's timers.
  template<typename Function>
  TimerBase::SharedPtr find_timer_ptrs_if(Function func) const
  {
    return find_if_of_type<TimerBase>(func);
  }

  /// Wakes the executor that owns this group (if any) to look for work again.
  void trigger_notify_guard_condition();

private:
  friend class Node;
  friend class Executor;

  using ExecutablePtr = std::shared_ptr<detail::Executable>;

  /// The first live member, in the order they joined, for which `func` returns true; null if
  /// none. `func` runs under the group's lock and must not call back into the group.
  template<typename Function>
  ExecutablePtr find_executable_if(Function func) const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto & weak_executable : executables_) {
      auto executable = weak_executable.lock();
      if (executable && func(executable)) {
        return executable;
      }
    }
    return nullptr;
  }

  template<typename T, typename Function>
  std::shared_ptr<T> find_if_of_type(Function func) const
  {
    std::shared_ptr<T> found;
    find_executable_if(
      [&func, &found](const ExecutablePtr & executable) {
        auto typed = std::dynamic_pointer_cast<T>(executable);
        if (typed && func(typed)) {
          found = std::move(typed);
          return true;
        }
        return false;
      });
    return found;
  }

  /// A subscription, timer or event joins the group; the executor looks for its work at once.
  void add_executable(const ExecutablePtr & executable);
  void set_executor_notifier(std::function<void()> notifier);

  const CallbackGroupType type_;
  const bool automatically_add_to_executor_with_node_;
  std::atomic_bool can_be_taken_from_{true};
  std::atomic_bool associated_with_executor_{false};
  // Set by every arrival (before the executor is woken) and by the executor when it leaves
  // work behind; cleared by the executor's look at the members. While clear, no member has
  // work but a timer's expiry, so a look for work passes the group by until then.
  std::atomic_bool may_have_work_{true};
  // The earliest expiry of the group's timers as the executor last saw it (steady nanoseconds;
  // max: none). Written under the executor's lock.
  std::atomic<int64_t> next_expiry_ns_{std::numeric_limits<int64_t>::max()};

  mutable std::mutex mutex_;
  std::vector<std::weak_ptr<detail::Executable>> executables_;
  // Shared, so that waking the executor on every message arrival copies a pointer, not the
  // function (whose captured state std::function would allocate anew).
  std::shared_ptr<const std::function<void()>> executor_notifier_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CALLBACK_GROUP_HPP_
