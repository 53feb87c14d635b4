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

#ifndef DDS_WIRE__FIELD_LAYOUT_HPP_
#define DDS_WIRE__FIELD_LAYOUT_HPP_

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "rosidl_typesupport_introspection_cpp/field_types.hpp"
#include "rosidl_typesupport_introspection_cpp/message_introspection.hpp"

namespace dds_wire
{

/// What the serializer and the deserializer must agree on about one field's wire form.
class FieldLayout
{
public:
  /// Wire size (and alignment) of one value of a primitive introspection type id; 0 for
  /// strings, wide strings and nested messages. Throws std::invalid_argument for types ROS 2
  /// cannot put on the wire (long double) or ids this code does not know. Inline: the
  /// serializer asks for every field of every sample.
  static size_t primitive_size(uint8_t type_id);

  /// True for sequences (bounded or not), which carry a uint32 count; false for fixed arrays.
  static bool has_length_prefix(const rosidl_typesupport_introspection_cpp::MessageMember & member)
  {
    return member.is_array_ && (member.array_size_ == 0 || member.is_upper_bound_);
  }

  /// A lower bound on the bytes one element of `member` occupies on the wire (padding
  /// ignored), used to reject element counts that could not possibly fit in a sample.
  static size_t min_element_size(
    const rosidl_typesupport_introspection_cpp::MessageMember & member);

  /// A lower bound on the wire size of a whole message (padding ignored).
  static size_t min_message_size(
    const rosidl_typesupport_introspection_cpp::MessageMembers & members);
};

inline size_t FieldLayout::primitive_size(uint8_t type_id)
{
  switch (type_id) {
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_BOOLEAN:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_OCTET:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_CHAR:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_UINT8:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_INT8:
      return 1;
    // A wchar is a char16_t, as rmw_cyclonedds sends it.
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_WCHAR:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_UINT16:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_INT16:
      return 2;
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_FLOAT:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_UINT32:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_INT32:
      return 4;
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_DOUBLE:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_UINT64:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_INT64:
      return 8;
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_STRING:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_WSTRING:
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_MESSAGE:
      return 0;
    case rosidl_typesupport_introspection_cpp::ROS_TYPE_LONG_DOUBLE:
      throw std::invalid_argument("long double fields have no CDR mapping in ROS 2");
    default:
      throw std::invalid_argument("unknown introspection type id " + std::to_string(type_id));
  }
}

}  // namespace dds_wire

#endif  // DDS_WIRE__FIELD_LAYOUT_HPP_
