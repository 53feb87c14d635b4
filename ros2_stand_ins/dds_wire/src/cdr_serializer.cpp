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

void write_message(CdrWriter & writer, const ts::MessageMembers & members, const void * message)
{
  const auto * base = static_cast<const uint8_t *>(message);
  for (uint32_t i = 0; i < members.member_count_; ) {
    const ts::MessageMember & member = members.members_[i];
    const void * field = base + member.offset_;
    const size_t size = plain_number_size(member);
    if (size == 0) {
      if (member.is_array_) {
        write_array(writer, member, field);
      } else {
        write_element(writer, member, field);
      }
      ++i;
      continue;
    }
    // Neighbouring number fields of one size that also lie side by side in memory (a scan's
    // seven floats) are laid out alike on the wire: one copy writes them all.
    uint32_t end = i + 1;
    while (end < members.member_count_ && plain_number_size(members.members_[end]) == size &&
      members.members_[end].offset_ == member.offset_ + (end - i) * size)
    {
      ++end;
    }
    writer.write_elements(field, end - i, size);
    i = end;
  }
}

void write_sample(
  CdrWriter & writer, const void * message, const rosidl_message_type_support_t * type_support)
{
  writer.write_header();
  write_message(writer, MessageType::members_of(type_support), message);
}

}  // namespace

size_t CdrSerializer::serialized_size(
  const void * message, const rosidl_message_type_support_t * type_support)
{
  CdrWriter counter;
  write_sample(counter, message, type_support);
  return counter.size();
}

size_t CdrSerializer::serialize_into(
  const void * message, const rosidl_message_type_support_t * type_support,
  uint8_t * buffer, size_t capacity)
{
  CdrWriter writer(buffer, capacity);
  write_sample(writer, message, type_support);
  return writer.size();
}

size_t CdrSerializer::serialize_into(
  const void * message, const rosidl_message_type_support_t * type_support,
  std::vector<uint8_t> & buffer)
{
  CdrWriter writer(buffer);
  write_sample(writer, message, type_support);
  return writer.size();
}

std::vector<uint8_t> CdrSerializer::serialize(
  const void * message, const rosidl_message_type_support_t * type_support)
{
  // Sized first: growing a fresh vector would copy (and, past the allocator's threshold, fault
  // in) a large sample several times over.
  std::vector<uint8_t> bytes(serialized_size(message, type_support));
  serialize_into(message, type_support, bytes.data(), bytes.size());
  return bytes;
}

}  // namespace dds_wire
