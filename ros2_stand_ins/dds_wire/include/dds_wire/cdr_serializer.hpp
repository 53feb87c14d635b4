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

#ifndef DDS_WIRE__CDR_SERIALIZER_HPP_
#define DDS_WIRE__CDR_SERIALIZER_HPP_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rosidl_typesupport_introspection_cpp/message_introspection.hpp"

namespace dds_wire
{

class CdrWriter;

/// Turns any generated ROS C++ message into the bytes ROS 2 Humble puts on the wire: the
/// encapsulation header `00 01 00 00`, then classic little-endian CDR of the fields in
/// declaration order, driven by the message's introspection type support.
///
/// An instance works out once how a type's fields go on the wire (nested messages laid out
/// flat, neighbouring numbers copied together), so each sample of a stream costs only the
/// copying; the static functions do the same for a single sample.
///
/// All functions take the message as `const void *` of the type `type_support` describes
/// (rosidl_typesupport_introspection_cpp). They throw std::length_error for a message that
/// cannot be encoded (a string longer than its bound, a sequence over 2^32 - 1 elements) and
/// std::invalid_argument for an unusable type support.
class CdrSerializer
{
public:
  explicit CdrSerializer(const rosidl_message_type_support_t * type_support);

  /// Exact number of bytes serialize() produces, header included.
  size_t serialized_size(const void * message) const;
  /// Writes into a caller-provided buffer of at least serialized_size() bytes; returns the
  /// number of bytes written.
  size_t serialize_into(const void * message, uint8_t * buffer, size_t capacity) const;
  /// Writes the sample at the start of `buffer` in one pass and returns its size. The buffer
  /// grows when the sample does not fit and never shrinks, so one buffer serves a stream of
  /// samples without allocating.
  size_t serialize_into(const void * message, std::vector<uint8_t> & buffer) const;
  /// The whole sample.
  std::vector<uint8_t> serialize(const void * message) const;

  static size_t serialized_size(
    const void * message, const rosidl_message_type_support_t * type_support);
  static size_t serialize_into(
    const void * message, const rosidl_message_type_support_t * type_support,
    uint8_t * buffer, size_t capacity);
  static size_t serialize_into(
    const void * message, const rosidl_message_type_support_t * type_support,
    std::vector<uint8_t> & buffer);
  static std::vector<uint8_t> serialize(
    const void * message, const rosidl_message_type_support_t * type_support);

private:
  /// One stretch of the flattened message: either `bytes` of numbers of `number_size` each that
  /// lie side by side in memory at `offset`, or (`field` set) one field written on its own.
  struct Step
  {
    size_t offset;
    size_t bytes;
    size_t number_size;
    const rosidl_typesupport_introspection_cpp::MessageMember * field;
  };

  /// Appends the steps that write `members`, found at `base` within the outermost message.
  void add_steps(const rosidl_typesupport_introspection_cpp::MessageMembers & members, size_t base);
  void write(CdrWriter & writer, const void * message) const;

  std::vector<Step> steps_;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__CDR_SERIALIZER_HPP_
