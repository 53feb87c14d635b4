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

#ifndef RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
#define RCLCPP__SUBSCRIPTION_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/qos_overriding_options.hpp"

namespace rclcpp
{

/// Options of a subscription that do not depend on the allocator.
struct SubscriptionOptionsBase
{
  /// The group the subscription's callback runs in; nullptr means the node's default group.
  rclcpp::CallbackGroup::SharedPtr callback_group = nullptr;

  /// Which QoS policies parameters may override; by default none, and no parameters exist.
  QosOverridingOptions qos_overriding_options;
};

template<typename Allocator>
struct SubscriptionOptionsWithAllocator : public SubscriptionOptionsBase
{
  /// Accepted for source compatibility; messages are allocated with std::allocator.
  std::shared_ptr<Allocator> allocator = nullptr;

  SubscriptionOptionsWithAllocator() = default;

  explicit SubscriptionOptionsWithAllocator(const SubscriptionOptionsBase & base)
  : SubscriptionOptionsBase(base)
  {}
};

using SubscriptionOptions = SubscriptionOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
