// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef RCLCPP__CALLBACK_GROUP_HPP_
#define RCLCPP__CALLBACK_GROUP_HPP_

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "rclcpp/macros.hpp"
#include "rclcpp/subscription_base.hpp"

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
/// The group only refers to its subscriptions; whoever created them keeps them alive.
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

  /// The live subscriptions, in creation order.
  std::vector<SubscriptionBase::SharedPtr> get_subscriptions() const;

  /// The first live subscription, in creation order, for which `func` returns true; null if
  /// none. `func` runs under the group's lock and must not call back into the group.
  template<typename Function>
  SubscriptionBase::SharedPtr find_subscription_ptrs_if(Function func) const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto & weak_subscription : subscriptions_) {
      auto subscription = weak_subscription.lock();
      if (subscription && func(subscription)) {
        return subscription;
      }
    }
    return nullptr;
  }

  /// Wakes the executor that owns this group (if any) to look for work again.
  void trigger_notify_guard_condition();

private:
  friend class Node;
  friend class Executor;

  void add_subscription(const SubscriptionBase::SharedPtr & subscription);
  void set_executor_notifier(std::function<void()> notifier);

  const CallbackGroupType type_;
  const bool automatically_add_to_executor_with_node_;
  std::atomic_bool can_be_taken_from_{true};
  std::atomic_bool associated_with_executor_{false};

  mutable std::mutex mutex_;
  std::vector<SubscriptionBase::WeakPtr> subscriptions_;
  // Shared, so that waking the executor on every message arrival copies a pointer, not the
  // function (whose captured state std::function would allocate anew).
  std::shared_ptr<const std::function<void()>> executor_notifier_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CALLBACK_GROUP_HPP_
