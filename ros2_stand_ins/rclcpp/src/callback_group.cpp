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

void CallbackGroup::add_executable(const ExecutablePtr & executable)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    executables_.erase(
      std::remove_if(
        executables_.begin(), executables_.end(),
        [](const std::weak_ptr<detail::Executable> & weak) {return weak.expired();}),
      executables_.end());
    executables_.push_back(executable);
  }
  // Work may wait already (transient-local messages, an event), and a timer needs its expiry
  // waited for.
  trigger_notify_guard_condition();
}

void CallbackGroup::set_executor_notifier(std::function<void()> notifier)
{
  auto shared = std::make_shared<const std::function<void()>>(std::move(notifier));
  std::lock_guard<std::mutex> lock(mutex_);
  executor_notifier_ = std::move(shared);
}

}  // namespace rclcpp
