#ifndef DDS_WIRE__CDR_SERIALIZER_HPP_
#define DDS_WIRE__CDR_SERIALIZER_HPP_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rosidl_runtime_c/message_type_support_struct.h"

namespace dds_wire
{

/// Turns any generated ROS C++ message into the bytes ROS 2 Humble puts on the wire: the
/// encapsulation header `00 01 00 00`, then classic little-endian CDR of the fields in
/// declaration order, driven by the message's introspection type support.
///
/// All functions take the message as `const void *` of the type `type_support` describes
/// (rosidl_typesupport_introspection_cpp). They throw std::length_error for a message that
/// cannot be encoded (a string longer than its bound, a sequence over 2^32 - 1 elements) and
/// std::invalid_argument for an unusable type support.
class CdrSerializer
{
public:
  /// Exact number of bytes serialize() produces, header included.
  static size_t serialized_size(
    const void * message, const rosidl_message_type_support_t * type_support);

  /// Writes into a caller-provided buffer of at least serialized_size() bytes; returns the
  /// number of bytes written.
  static size_t serialize_into(
    const void * message, const rosidl_message_type_support_t * type_support,
    uint8_t * buffer, size_t capacity);

  /// Writes the sample at the start of `buffer` in one pass and returns its size. The buffer
  /// grows when the sample does not fit and never shrinks, so one buffer serves a stream of
  /// samples without allocating.
  static size_t serialize_into(
    const void * message, const rosidl_message_type_support_t * type_support,
    std::vector<uint8_t> & buffer);

  /// The whole sample.
  static std::vector<uint8_t> serialize(
    const void * message, const rosidl_message_type_support_t * type_support);
};

}  // namespace dds_wire

#endif  // DDS_WIRE__CDR_SERIALIZER_HPP_
