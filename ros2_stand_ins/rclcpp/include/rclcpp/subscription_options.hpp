// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
