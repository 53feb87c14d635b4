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

#ifndef RCLCPP__SUBSCRIPTION_HPP_
#define RCLCPP__SUBSCRIPTION_HPP_

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "rclcpp/any_subscription_callback.hpp"
#include "rclcpp/detail/incompatible_qos_event.hpp"
#include "rclcpp/detail/typed_endpoint_info.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rclcpp/subscription_options.hpp"

namespace rclcpp
{

/// Receives MessageT from one topic and runs its callback on an executor.
/// Create it with Node::create_subscription.
template<typename MessageT, typename AllocatorT = std::allocator<void>>
class Subscription : public SubscriptionBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Subscription<MessageT, AllocatorT>)

  Subscription(
    const std::string & topic_name, const rclcpp::QoS & qos,
    AnySubscriptionCallback<MessageT> callback,
    const SubscriptionOptionsWithAllocator<AllocatorT> & options,
    std::function<void()> on_message_ready, detail::NodeRegistration node = nullptr,
    std::shared_ptr<detail::IncompatibleQosEvent> incompatible_qos = nullptr)
  : SubscriptionBase(
      detail::make_topic_endpoint_info<MessageT>(
        topic_name, qos, std::move(node),
        detail::IncompatibleQosEvent::handler_for(incompatible_qos)),
      std::move(on_message_ready), incompatible_qos),
    callback_(std::move(callback)),
    options_(options)
  {}

  void handle_message(std::shared_ptr<const void> message) override
  {
    // C++17's aliasing constructor only copies: the untyped reference goes before the call, or
    // the message would look shared and a callback that may modify it would get a copy.
    std::shared_ptr<const MessageT> typed(message, static_cast<const MessageT *>(message.get()));
    message.reset();
    callback_.dispatch(std::move(typed));
  }

private:
  AnySubscriptionCallback<MessageT> callback_;
  SubscriptionOptionsWithAllocator<AllocatorT> options_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_HPP_
