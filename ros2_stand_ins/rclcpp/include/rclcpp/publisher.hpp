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

#ifndef RCLCPP__PUBLISHER_HPP_
#define RCLCPP__PUBLISHER_HPP_

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "rclcpp/detail/incompatible_qos_event.hpp"
#include "rclcpp/detail/typed_endpoint_info.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/publisher_base.hpp"
#include "rclcpp/publisher_options.hpp"

namespace rclcpp
{

/// Publishes MessageT on one topic. Create it with Node::create_publisher.
template<typename MessageT, typename AllocatorT = std::allocator<void>>
class Publisher : public PublisherBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Publisher<MessageT, AllocatorT>)
  using MessageUniquePtr = std::unique_ptr<MessageT>;

  /// `node`: the owning node's registration with the transport (Node passes its own);
  /// `incompatible_qos`: what hears of peers whose QoS does not fit (null: nothing).
  Publisher(
    const std::string & topic_name, const rclcpp::QoS & qos,
    const PublisherOptionsWithAllocator<AllocatorT> & options,
    detail::NodeRegistration node = nullptr,
    std::shared_ptr<detail::IncompatibleQosEvent> incompatible_qos = nullptr)
  : PublisherBase(
      detail::make_topic_endpoint_info<MessageT>(
        topic_name, qos, std::move(node),
        detail::IncompatibleQosEvent::handler_for(incompatible_qos)),
      incompatible_qos),
    options_(options)
  {}

  /// As in Humble, a message that only leaves the process is not copied; subscriptions of this
  /// process share one copy.
  void publish(const MessageT & msg)
  {
    publish_lent_type_erased(
      &msg, [](const void * lent) -> std::shared_ptr<const void> {
        return std::make_shared<const MessageT>(*static_cast<const MessageT *>(lent));
      });
  }

  /// Takes ownership without copying.
  void publish(std::unique_ptr<MessageT> msg)
  {
    if (!msg) {
      throw std::invalid_argument("cannot publish a null message");
    }
    publish_type_erased(std::shared_ptr<const MessageT>(std::move(msg)));
  }

private:
  PublisherOptionsWithAllocator<AllocatorT> options_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_HPP_
