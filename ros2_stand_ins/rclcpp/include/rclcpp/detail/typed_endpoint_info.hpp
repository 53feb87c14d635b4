// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
