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

// Test helper: gives every field of any generated message a distinctive non-default value, so
// a round trip that drops, reorders or truncates a field shows up in the typed operator==.
#ifndef MESSAGE_FILLER_HPP_
#define MESSAGE_FILLER_HPP_

#include <cstdint>
#include <cstring>
#include <string>

#include "rosidl_typesupport_introspection_cpp/field_types.hpp"
#include "rosidl_typesupport_introspection_cpp/message_introspection.hpp"

namespace dds_wire_test
{

class MessageFiller
{
public:
  explicit MessageFiller(uint32_t seed)
  : state_(seed * 2654435761u + 1u) {}

  void fill(const rosidl_typesupport_introspection_cpp::MessageMembers & members, void * message)
  {
    auto * base = static_cast<uint8_t *>(message);
    for (uint32_t i = 0; i < members.member_count_; ++i) {
      fill_member(members.members_[i], base + members.members_[i].offset_);
    }
  }

private:
  using Member = rosidl_typesupport_introspection_cpp::MessageMember;
  using Members = rosidl_typesupport_introspection_cpp::MessageMembers;

  uint32_t next()
  {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

  void fill_member(const Member & member, void * field)
  {
    namespace ts = rosidl_typesupport_introspection_cpp;
    if (!member.is_array_) {
      fill_value(member, field);
      return;
    }
    size_t count = member.array_size_;
    if (member.array_size_ == 0 || member.is_upper_bound_) {
      count = 1 + next() % 3;
      if (member.is_upper_bound_ && count > member.array_size_) {
        count = member.array_size_;
      }
      member.resize_function(field, count);
    }
    for (size_t i = 0; i < count; ++i) {
      if (member.type_id_ == ts::ROS_TYPE_BOOLEAN) {
        const bool value = (next() & 1u) != 0;
        member.assign_function(field, i, &value);
      } else {
        fill_value(member, member.get_function(field, i));
      }
    }
  }

  void fill_value(const Member & member, void * value)
  {
    namespace ts = rosidl_typesupport_introspection_cpp;
    const uint64_t bits = (static_cast<uint64_t>(next()) << 32) | next();
    switch (member.type_id_) {
      case ts::ROS_TYPE_STRING:
        *static_cast<std::string *>(value) =
          std::string(member.name_) + "-" + std::to_string(bits % 100000);
        if (member.string_upper_bound_ != 0) {
          static_cast<std::string *>(value)->resize(member.string_upper_bound_, 'x');
        }
        return;
      case ts::ROS_TYPE_WSTRING:
        *static_cast<std::u16string *>(value) = u"w\u00e9" + std::u16string(1, char16_t(bits));
        return;
      case ts::ROS_TYPE_MESSAGE:
        fill(*static_cast<const Members *>(member.members_->data), value);
        return;
      case ts::ROS_TYPE_BOOLEAN:
        *static_cast<bool *>(value) = (bits & 1u) != 0;
        return;
      case ts::ROS_TYPE_FLOAT: {
          const float number = static_cast<float>(bits % 100000) / 7.0f + 0.5f;
          std::memcpy(value, &number, sizeof number);
          return;
        }
      case ts::ROS_TYPE_DOUBLE: {
          const double number = static_cast<double>(bits % 1000000) / 3.0 - 17.25;
          std::memcpy(value, &number, sizeof number);
          return;
        }
      default: {
          // Integers of every width: copy the low bytes, never all zero.
          const uint64_t number = bits | 0x81u;
          size_t size = 1;
          switch (member.type_id_) {
            case ts::ROS_TYPE_WCHAR: case ts::ROS_TYPE_UINT16: case ts::ROS_TYPE_INT16:
              size = 2; break;
            case ts::ROS_TYPE_UINT32: case ts::ROS_TYPE_INT32:
              size = 4; break;
            case ts::ROS_TYPE_UINT64: case ts::ROS_TYPE_INT64:
              size = 8; break;
            default:
              break;
          }
          std::memcpy(value, &number, size);
          return;
        }
    }
  }

  uint32_t state_;
};

}  // namespace dds_wire_test

#endif  // MESSAGE_FILLER_HPP_
