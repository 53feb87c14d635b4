// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/subscription_base.hpp"

#include <utility>

namespace rclcpp
{

SubscriptionBase::SubscriptionBase(
  const detail::TopicEndpointInfo & info, std::function<void()> on_message_ready)
: info_(info),
  endpoint_(detail::get_transport().create_subscription(info, std::move(on_message_ready)))
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
  return endpoint_->take();
}

bool SubscriptionBase::has_message() const
{
  return endpoint_->has_message();
}

const rclcpp::QoS & SubscriptionBase::get_actual_qos() const
{
  return info_.qos;
}

}  // namespace rclcpp
