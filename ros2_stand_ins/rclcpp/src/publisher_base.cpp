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
