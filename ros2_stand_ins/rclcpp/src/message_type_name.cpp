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

#include "rclcpp/detail/message_type_name.hpp"

#include <cstring>
#include <stdexcept>

#include "rosidl_typesupport_introspection_cpp/identifier.hpp"
#include "rosidl_typesupport_introspection_cpp/message_introspection.hpp"

namespace rclcpp
{
namespace detail
{

std::string message_type_name(const rosidl_message_type_support_t * type_support)
{
  if (type_support == nullptr || type_support->typesupport_identifier == nullptr ||
    std::strcmp(
      type_support->typesupport_identifier,
      rosidl_typesupport_introspection_cpp::typesupport_identifier) != 0)
  {
    throw std::invalid_argument(
            "message type support is not a rosidl_typesupport_introspection_cpp handle");
  }
  const auto * members =
    static_cast<const rosidl_typesupport_introspection_cpp::MessageMembers *>(type_support->data);
  std::string name = members->message_namespace_;
  for (auto separator = name.find("::"); separator != std::string::npos;
    separator = name.find("::", separator))
  {
    name.replace(separator, 2, "/");
  }
  return name + "/" + members->message_name_;
}

}  // namespace detail
}  // namespace rclcpp
