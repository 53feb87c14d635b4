// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef RCLCPP__DETAIL__MESSAGE_TYPE_NAME_HPP_
#define RCLCPP__DETAIL__MESSAGE_TYPE_NAME_HPP_

#include <string>

#include "rosidl_runtime_c/message_type_support_struct.h"

namespace rclcpp
{
namespace detail
{

/// "pkg/msg/Name" of an introspection type support handle (namespace "pkg::msg", name "Name").
/// Throws std::invalid_argument if the handle is not an introspection C++ handle.
std::string message_type_name(const rosidl_message_type_support_t * type_support);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__MESSAGE_TYPE_NAME_HPP_
