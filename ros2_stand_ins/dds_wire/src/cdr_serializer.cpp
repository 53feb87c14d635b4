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

#include "dds_wire/cdr_serializer.hpp"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "dds_wire/cdr_writer.hpp"
#include "dds_wire/field_layout.hpp"
#include "dds_wire/message_type.hpp"
#include "rosidl_typesupport_introspection_cpp/field_types.hpp"

namespace dds_wire
{

namespace
{

namespace ts = rosidl_typesupport_introspection_cpp;

void write_message(CdrWriter & writer, const ts::MessageMembers & members, const void * message);

std::string field_error(const ts::MessageMember & member, const std::string & what)
{
  return std::string("field '") + member.name_ + "': " + what;
}

uint32_t checked_length(const ts::MessageMember & member, size_t length)
{
  if (length > std::numeric_limits<uint32_t>::max()) {
    throw std::length_error(
            field_error(member, "length " + std::to_string(length) + " does not fit CDR's uint32"));
  }
  return static_cast<uint32_t>(length);
}

void check_string_bound(const ts::MessageMember & member, size_t length)
{
  if (member.string_upper_bound_ != 0 && length > member.string_upper_bound_) {
    throw std::length_error(
            field_error(
              member, "string of " + std::to_string(length) + " characters exceeds its bound " +
              std::to_string(member.string_upper_bound_)));
  }
}

void write_element(CdrWriter & writer, const ts::MessageMember & member, const void * element)
{
  switch (member.type_id_) {
    case ts::ROS_TYPE_STRING: {
        const auto & text = *static_cast<const std::string *>(element);
        check_string_bound(member, text.size());
        // The length counts the terminating NUL, which is sent too.
        writer.write_uint32(checked_length(member, text.size() + 1));
        writer.write_elements(text.data(), text.size(), 1);
        writer.write_uint8(0);
        return;
      }
    case ts::ROS_TYPE_WSTRING: {
        // rmw_cyclonedds sends UTF-16 code units with their count and no terminator.
        const auto & text = *static_cast<const std::u16string *>(element);
        check_string_bound(member, text.size());
        writer.write_uint32(checked_length(member, text.size()));
        if (!text.empty()) {
          writer.write_elements(text.data(), text.size(), sizeof(char16_t));
        }
        return;
      }
    case ts::ROS_TYPE_MESSAGE:
      write_message(writer, MessageType::members_of(member.members_), element);
      return;
    case ts::ROS_TYPE_BOOLEAN:
      writer.write_uint8(*static_cast<const bool *>(element) ? 1 : 0);
      return;
    default:
      writer.write_elements(element, 1, FieldLayout::primitive_size(member.type_id_));
      return;
  }
}

void write_array(CdrWriter & writer, const ts::MessageMember & member, const void * field)
{
  const bool is_sequence = FieldLayout::has_length_prefix(member);
  const size_t count = is_sequence ? member.size_function(field) : member.array_size_;
  if (is_sequence) {
    if (member.is_upper_bound_ && count > member.array_size_) {
      throw std::length_error(
              field_error(
                member, "sequence of " + std::to_string(count) + " elements exceeds its bound " +
                std::to_string(member.array_size_)));
    }
    writer.write_uint32(checked_length(member, count));
  }
  if (count == 0) {
    return;  // no padding either: the next field aligns itself
  }
  const size_t element_size = FieldLayout::primitive_size(member.type_id_);
  if (member.type_id_ == ts::ROS_TYPE_BOOLEAN) {
    // std::vector<bool> is packed and offers no element pointers, only fetch_function.
    for (size_t i = 0; i < count; ++i) {
      bool value = false;
      member.fetch_function(field, i, &value);
      writer.write_uint8(value ? 1 : 0);
    }
  } else if (element_size != 0) {
    // std::vector, std::array and BoundedVector store primitives contiguously.
    writer.write_elements(member.get_const_function(field, 0), count, element_size);
  } else {
    for (size_t i = 0; i < count; ++i) {
      write_element(writer, member, member.get_const_function(field, i));
    }
  }
}

/// Size of a single (not array) number field, which goes on the wire as it lies in memory; 0
/// for any other field. Booleans are written as 0 or 1 one by one.
size_t plain_number_size(const ts::MessageMember & member)
{
  if (member.is_array_ || member.type_id_ == ts::ROS_TYPE_BOOLEAN) {
    return 0;
  }
  return FieldLayout::primitive_size(member.type_id_);
}

/// An element of an array of messages, field by field.
void write_message(CdrWriter & writer, const ts::MessageMembers & members, const void * message)
{
  const auto * base = static_cast<const uint8_t *>(message);
  for (uint32_t i = 0; i < members.member_count_; ++i) {
    const ts::MessageMember & member = members.members_[i];
    if (member.is_array_) {
      write_array(writer, member, base + member.offset_);
    } else {
      write_element(writer, member, base + member.offset_);
    }
  }
}

}  // namespace

CdrSerializer::CdrSerializer(const rosidl_message_type_support_t * type_support)
{
  add_steps(MessageType::members_of(type_support), 0);
}

void CdrSerializer::add_steps(const ts::MessageMembers & members, size_t base)
{
  for (uint32_t i = 0; i < members.member_count_; ++i) {
    const ts::MessageMember & member = members.members_[i];
    const size_t offset = base + member.offset_;
    // CDR does not align a nested message as a whole, only its numbers: its fields go on the
    // wire exactly as if they were the outer message's.
    if (!member.is_array_ && member.type_id_ == ts::ROS_TYPE_MESSAGE) {
      add_steps(MessageType::members_of(member.members_), offset);
      continue;
    }
    const size_t number_size = plain_number_size(member);
    if (number_size == 0) {
      steps_.push_back({offset, 0, 0, &member});
      continue;
    }
    // Numbers of one size that lie side by side in memory (a scan's seven floats, a stamp's
    // two integers) lie side by side on the wire too: one copy writes them all.
    if (!steps_.empty()) {
      Step & last = steps_.back();
      if (last.field == nullptr && last.number_size == number_size &&
        last.offset + last.bytes == offset)
      {
        last.bytes += number_size;
        continue;
      }
    }
    steps_.push_back({offset, number_size, number_size, nullptr});
  }
}

void CdrSerializer::write(CdrWriter & writer, const void * message) const
{
  writer.write_header();
  const auto * base = static_cast<const uint8_t *>(message);
  for (const Step & step : steps_) {
    const void * field = base + step.offset;
    if (step.field == nullptr) {
      writer.write_elements(field, step.bytes / step.number_size, step.number_size);
    } else if (step.field->is_array_) {
      write_array(writer, *step.field, field);
    } else {
      write_element(writer, *step.field, field);
    }
  }
}

size_t CdrSerializer::serialized_size(const void * message) const
{
  CdrWriter counter;
  write(counter, message);
  return counter.size();
}

size_t CdrSerializer::serialize_into(const void * message, uint8_t * buffer, size_t capacity) const
{
  CdrWriter writer(buffer, capacity);
  write(writer, message);
  return writer.size();
}

size_t CdrSerializer::serialize_into(const void * message, std::vector<uint8_t> & buffer) const
{
  CdrWriter writer(buffer);
  write(writer, message);
  return writer.size();
}

std::vector<uint8_t> CdrSerializer::serialize(const void * message) const
{
  // Sized first: growing a fresh vector would copy (and, past the allocator's threshold, fault
  // in) a large sample several times over.
  std::vector<uint8_t> bytes(serialized_size(message));
  serialize_into(message, bytes.data(), bytes.size());
  return bytes;
}

size_t CdrSerializer::serialized_size(
  const void * message, const rosidl_message_type_support_t * type_support)
{
  return CdrSerializer(type_support).serialized_size(message);
}

size_t CdrSerializer::serialize_into(
  const void * message, const rosidl_message_type_support_t * type_support,
  uint8_t * buffer, size_t capacity)
{
  return CdrSerializer(type_support).serialize_into(message, buffer, capacity);
}

size_t CdrSerializer::serialize_into(
  const void * message, const rosidl_message_type_support_t * type_support,
  std::vector<uint8_t> & buffer)
{
  return CdrSerializer(type_support).serialize_into(message, buffer);
}

std::vector<uint8_t> CdrSerializer::serialize(
  const void * message, const rosidl_message_type_support_t * type_support)
{
  return CdrSerializer(type_support).serialize(message);
}

}  // namespace dds_wire
