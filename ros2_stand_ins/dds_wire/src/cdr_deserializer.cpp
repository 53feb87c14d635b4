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

#include "dds_wire/cdr_deserializer.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

#include "dds_wire/cdr_reader.hpp"
#include "dds_wire/deserialization_error.hpp"
#include "dds_wire/field_layout.hpp"
#include "dds_wire/message_type.hpp"
#include "rosidl_typesupport_introspection_cpp/field_types.hpp"

namespace dds_wire
{

namespace
{

namespace ts = rosidl_typesupport_introspection_cpp;

void read_message(CdrReader & reader, const ts::MessageMembers & members, void * message);

void check_string_bound(const ts::MessageMember & member, size_t length)
{
  if (member.string_upper_bound_ != 0 && length > member.string_upper_bound_) {
    throw DeserializationError(
            "string of " + std::to_string(length) + " characters exceeds its bound " +
            std::to_string(member.string_upper_bound_));
  }
}

void read_string(CdrReader & reader, const ts::MessageMember & member, std::string & text)
{
  const uint32_t length = reader.read_uint32();
  reader.require_elements("string length", length, 1);
  if (length == 0) {
    text.clear();
    return;
  }
  const auto * bytes = reinterpret_cast<const char *>(reader.read_bytes(length));
  if (bytes[length - 1] != '\0') {
    throw DeserializationError("string of length " + std::to_string(length) + " lacks its NUL");
  }
  check_string_bound(member, length - 1);
  text.assign(bytes, length - 1);
}

void read_wstring(CdrReader & reader, const ts::MessageMember & member, std::u16string & text)
{
  const uint32_t length = reader.read_uint32();
  reader.require_elements("wstring length", length, sizeof(char16_t));
  check_string_bound(member, length);
  text.resize(length);
  if (length != 0) {
    reader.read_elements(text.data(), length, sizeof(char16_t));
  }
}

void read_element(CdrReader & reader, const ts::MessageMember & member, void * element)
{
  switch (member.type_id_) {
    case ts::ROS_TYPE_STRING:
      read_string(reader, member, *static_cast<std::string *>(element));
      return;
    case ts::ROS_TYPE_WSTRING:
      read_wstring(reader, member, *static_cast<std::u16string *>(element));
      return;
    case ts::ROS_TYPE_MESSAGE:
      read_message(reader, MessageType::members_of(member.members_), element);
      return;
    case ts::ROS_TYPE_BOOLEAN:
      *static_cast<bool *>(element) = reader.read_uint8() != 0;
      return;
    default:
      reader.read_elements(element, 1, FieldLayout::primitive_size(member.type_id_));
      return;
  }
}

size_t read_element_count(CdrReader & reader, const ts::MessageMember & member, void * field)
{
  if (!FieldLayout::has_length_prefix(member)) {
    return member.array_size_;
  }
  const uint32_t count = reader.read_uint32();
  if (member.is_upper_bound_ && count > member.array_size_) {
    throw DeserializationError(
            "sequence length " + std::to_string(count) + " exceeds its bound " +
            std::to_string(member.array_size_));
  }
  reader.require_elements(
    "sequence length", count, std::max<size_t>(1, FieldLayout::min_element_size(member)));
  member.resize_function(field, count);
  return count;
}

void read_array(CdrReader & reader, const ts::MessageMember & member, void * field)
{
  const size_t count = read_element_count(reader, member, field);
  if (count == 0) {
    return;
  }
  const size_t element_size = FieldLayout::primitive_size(member.type_id_);
  if (member.type_id_ == ts::ROS_TYPE_BOOLEAN) {
    // std::vector<bool> is packed and offers no element pointers, only assign_function.
    for (size_t i = 0; i < count; ++i) {
      const bool value = reader.read_uint8() != 0;
      member.assign_function(field, i, &value);
    }
  } else if (element_size != 0) {
    reader.read_elements(member.get_function(field, 0), count, element_size);
  } else {
    for (size_t i = 0; i < count; ++i) {
      try {
        read_element(reader, member, member.get_function(field, i));
      } catch (DeserializationError & error) {
        error.prepend_index(i);
        throw;
      }
    }
  }
}

void read_message(CdrReader & reader, const ts::MessageMembers & members, void * message)
{
  auto * base = static_cast<uint8_t *>(message);
  for (uint32_t i = 0; i < members.member_count_; ++i) {
    const ts::MessageMember & member = members.members_[i];
    void * field = base + member.offset_;
    try {
      if (member.is_array_) {
        read_array(reader, member, field);
      } else {
        read_element(reader, member, field);
      }
    } catch (DeserializationError & error) {
      error.prepend_field(member.name_);
      throw;
    }
  }
}

}  // namespace

DeserializationResult CdrDeserializer::deserialize(
  const uint8_t * data, size_t size, void * message,
  const rosidl_message_type_support_t * type_support)
{
  const ts::MessageMembers & members = MessageType::members_of(type_support);
  try {
    CdrReader reader(data, size);
    read_message(reader, members, message);
  } catch (const DeserializationError & error) {
    return {false, error.what()};
  }
  return {};
}

}  // namespace dds_wire
