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

#ifndef RCLCPP__PUBLISHER_BASE_HPP_
#define RCLCPP__PUBLISHER_BASE_HPP_

#include <memory>

#include "rclcpp/detail/transport.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{

/// The untyped part of a publisher: its topic and its transport endpoint.
class PublisherBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(PublisherBase)

  /// `keep_alive` lives as long as the publisher (what info.on_incompatible_qos reports to).
  explicit PublisherBase(
    const detail::TopicEndpointInfo & info, std::shared_ptr<void> keep_alive = nullptr);
  virtual ~PublisherBase();

  PublisherBase(const PublisherBase &) = delete;
  PublisherBase & operator=(const PublisherBase &) = delete;

  /// The fully qualified topic name, after expansion and remapping.
  const char * get_topic_name() const;

  size_t get_subscription_count() const;

  const rclcpp::QoS & get_actual_qos() const;

protected:
  void publish_type_erased(std::shared_ptr<const void> message);
  void publish_lent_type_erased(const void * message, detail::MessageCopier copy);

private:
  std::shared_ptr<void> keep_alive_;
  detail::TopicEndpointInfo info_;
  std::shared_ptr<detail::PublisherEndpoint> endpoint_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_BASE_HPP_
