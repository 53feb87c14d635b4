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

#include "dds_wire/field_layout.hpp"

#include <stdexcept>
#include <string>

#include "dds_wire/message_type.hpp"
#include "rosidl_typesupport_introspection_cpp/field_types.hpp"

namespace dds_wire
{

namespace ts = rosidl_typesupport_introspection_cpp;

size_t FieldLayout::min_element_size(const ts::MessageMember & member)
{
  switch (member.type_id_) {
    case ts::ROS_TYPE_STRING:
    case ts::ROS_TYPE_WSTRING:
      return 4;  // the length word; an empty string may be sent without its NUL
    case ts::ROS_TYPE_MESSAGE:
      return min_message_size(MessageType::members_of(member.members_));
    default:
      return primitive_size(member.type_id_);
  }
}

size_t FieldLayout::min_message_size(const ts::MessageMembers & members)
{
  size_t total = 0;
  for (uint32_t i = 0; i < members.member_count_; ++i) {
    const ts::MessageMember & member = members.members_[i];
    if (has_length_prefix(member)) {
      total += 4;
    } else if (member.is_array_) {
      total += member.array_size_ * min_element_size(member);
    } else {
      total += min_element_size(member);
    }
  }
  return total;
}

}  // namespace dds_wire
