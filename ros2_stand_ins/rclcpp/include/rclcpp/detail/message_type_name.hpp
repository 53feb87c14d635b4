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
