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

#ifndef DDS_WIRE__MESSAGE_TYPE_HPP_
#define DDS_WIRE__MESSAGE_TYPE_HPP_

#include <memory>
#include <string>

#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_typesupport_introspection_cpp/message_introspection.hpp"

namespace dds_wire
{

/// A generated ROS message type seen through its C++ introspection type support.
///
/// The transport only ever holds type-erased messages (`void *` plus a type support handle),
/// so this is where such a message is born and dies, and where the names DDS knows the type by
/// are derived.
class MessageType
{
public:
  /// Throws std::invalid_argument unless `type_support` is (or dispatches to) the
  /// rosidl_typesupport_introspection_cpp handle of a message.
  explicit MessageType(const rosidl_message_type_support_t * type_support);

  /// The introspection description of a type support handle (same checks as the constructor).
  static const rosidl_typesupport_introspection_cpp::MessageMembers &
  members_of(const rosidl_message_type_support_t * type_support);

  const rosidl_typesupport_introspection_cpp::MessageMembers & members() const {return *members_;}
  const rosidl_message_type_support_t * type_support() const {return type_support_;}

  /// A default-initialised message of this type; the deleter runs the type's destructor.
  std::shared_ptr<void> create_message() const;

  /// "std_msgs::msg::dds_::Header_", the type name ROS 2's DDS layers register.
  std::string dds_type_name() const;
  /// "std_msgs/msg/Header", the name ROS tools print.
  std::string ros_type_name() const;

private:
  const rosidl_message_type_support_t * type_support_;
  const rosidl_typesupport_introspection_cpp::MessageMembers * members_;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__MESSAGE_TYPE_HPP_
