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

#include "rclcpp/subscription_base.hpp"

#include <utility>

namespace rclcpp
{

SubscriptionBase::SubscriptionBase(
  const detail::TopicEndpointInfo & info, std::function<void()> on_message_ready,
  std::shared_ptr<void> keep_alive)
: SubscriptionBase(
    info,
    [&info](std::function<void()> on_ready) {
      return detail::get_transport().create_subscription(info, std::move(on_ready));
    },
    std::move(on_message_ready))
{
  keep_alive_ = std::move(keep_alive);
}

SubscriptionBase::SubscriptionBase(
  const detail::TopicEndpointInfo & info, const EndpointFactory & open_endpoint,
  std::function<void()> on_message_ready)
: info_(info),
  message_hint_(std::make_shared<std::atomic<int>>(kNoMessage)),
  endpoint_(open_endpoint(
      [message_hint = message_hint_, wake = std::move(on_message_ready)]() {
        message_hint->store(kMessage);
        if (wake) {
          wake();
        }
      }))
{}

SubscriptionBase::~SubscriptionBase() = default;

const char * SubscriptionBase::get_topic_name() const
{
  return info_.topic_name.c_str();
}

size_t SubscriptionBase::get_publisher_count() const
{
  return endpoint_->get_publisher_count();
}

std::shared_ptr<const void> SubscriptionBase::take_type_erased()
{
  // Cleared before taking: an arrival racing with an empty take sets it again afterwards.
  message_hint_->store(kNoMessage);
  auto message = endpoint_->take();
  if (message) {
    // More may wait behind it; an arrival meanwhile (which this take may have taken) only
    // means the same.
    message_hint_->store(kMaybeMessage);
  }
  return message;
}

bool SubscriptionBase::has_message() const
{
  // An arrival since the last take is trusted without asking the transport, which costs about
  // as much as the rest of a look for work. Cleared before asking, as in take_type_erased(): an
  // arrival racing with the question sets it again. So a "no" is remembered until the next
  // arrival, and executors looking for work ask the transport about each subscription at most
  // once after each take, not on every look.
  int hint = kMaybeMessage;
  if (!message_hint_->compare_exchange_strong(hint, kNoMessage)) {
    return hint == kMessage;
  }
  if (endpoint_->has_message()) {
    int seen = kNoMessage;
    message_hint_->compare_exchange_strong(seen, kMessage);
    return true;
  }
  return false;
}

const rclcpp::QoS & SubscriptionBase::get_actual_qos() const
{
  return info_.qos;
}

}  // namespace rclcpp
