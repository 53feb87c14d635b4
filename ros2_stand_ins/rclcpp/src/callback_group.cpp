// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/callback_group.hpp"

#include <algorithm>
#include <utility>

namespace rclcpp
{

CallbackGroup::CallbackGroup(
  CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
: type_(group_type),
  automatically_add_to_executor_with_node_(automatically_add_to_executor_with_node)
{}

std::atomic_bool & CallbackGroup::can_be_taken_from()
{
  return can_be_taken_from_;
}

const CallbackGroupType & CallbackGroup::type() const
{
  return type_;
}

std::atomic_bool & CallbackGroup::get_associated_with_executor_atomic()
{
  return associated_with_executor_;
}

bool CallbackGroup::automatically_add_to_executor_with_node() const
{
  return automatically_add_to_executor_with_node_;
}

std::vector<SubscriptionBase::SharedPtr> CallbackGroup::get_subscriptions() const
{
  std::vector<SubscriptionBase::SharedPtr> live;
  std::lock_guard<std::mutex> lock(mutex_);
  live.reserve(subscriptions_.size());
  for (const auto & weak_subscription : subscriptions_) {
    if (auto subscription = weak_subscription.lock()) {
      live.push_back(std::move(subscription));
    }
  }
  return live;
}

void CallbackGroup::trigger_notify_guard_condition()
{
  std::shared_ptr<const std::function<void()>> notifier;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    notifier = executor_notifier_;
  }
  // Called without our lock: the executor locks its own state and then asks us for subscriptions.
  if (notifier && *notifier) {
    (*notifier)();
  }
}

void CallbackGroup::add_subscription(const SubscriptionBase::SharedPtr & subscription)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    subscriptions_.erase(
      std::remove_if(
        subscriptions_.begin(), subscriptions_.end(),
        [](const SubscriptionBase::WeakPtr & weak) {return weak.expired();}),
      subscriptions_.end());
    subscriptions_.push_back(subscription);
  }
  // Messages may have been queued (transient local) before the subscription joined the group.
  trigger_notify_guard_condition();
}

void CallbackGroup::set_executor_notifier(std::function<void()> notifier)
{
  auto shared = std::make_shared<const std::function<void()>>(std::move(notifier));
  std::lock_guard<std::mutex> lock(mutex_);
  executor_notifier_ = std::move(shared);
}

}  // namespace rclcpp
