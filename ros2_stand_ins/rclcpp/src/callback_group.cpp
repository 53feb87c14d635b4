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
  may_have_work_.store(true);
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
