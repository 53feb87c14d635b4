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

#ifndef RCLCPP__DETAIL__TYPED_ENDPOINT_INFO_HPP_
#define RCLCPP__DETAIL__TYPED_ENDPOINT_INFO_HPP_

#include <string>
#include <utility>

#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "rclcpp/detail/message_type_name.hpp"
#include "rclcpp/detail/transport.hpp"

namespace rclcpp
{
namespace detail
{

/// Describes an endpoint of MessageT on an already resolved topic, owned by `node`.
template<typename MessageT>
TopicEndpointInfo make_topic_endpoint_info(
  const std::string & topic_name, const rclcpp::QoS & qos, NodeRegistration node = nullptr,
  IncompatibleQosHandler on_incompatible_qos = nullptr)
{
  const rosidl_message_type_support_t * type_support =
    rosidl_typesupport_introspection_cpp::get_message_type_support_handle<MessageT>();
  return TopicEndpointInfo{
    topic_name, message_type_name(type_support), type_support, qos, std::move(node),
    std::move(on_incompatible_qos)};
}

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__TYPED_ENDPOINT_INFO_HPP_
