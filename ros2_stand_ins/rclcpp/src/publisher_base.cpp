// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/publisher_base.hpp"

#include <utility>

namespace rclcpp
{

PublisherBase::PublisherBase(
  const detail::TopicEndpointInfo & info, std::shared_ptr<void> keep_alive)
: keep_alive_(std::move(keep_alive)), info_(info),
  endpoint_(detail::get_transport().create_publisher(info))
{}

PublisherBase::~PublisherBase() = default;

const char * PublisherBase::get_topic_name() const
{
  return info_.topic_name.c_str();
}

size_t PublisherBase::get_subscription_count() const
{
  return endpoint_->get_subscription_count();
}

const rclcpp::QoS & PublisherBase::get_actual_qos() const
{
  return info_.qos;
}

void PublisherBase::publish_type_erased(std::shared_ptr<const void> message)
{
  endpoint_->publish(std::move(message));
}

void PublisherBase::publish_lent_type_erased(const void * message, detail::MessageCopier copy)
{
  endpoint_->publish_lent(message, copy);
}

}  // namespace rclcpp
