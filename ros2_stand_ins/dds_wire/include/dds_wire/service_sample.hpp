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

#ifndef DDS_WIRE__SERVICE_SAMPLE_HPP_
#define DDS_WIRE__SERVICE_SAMPLE_HPP_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dds_wire/cdr_deserializer.hpp"
#include "rosidl_runtime_c/message_type_support_struct.h"

namespace dds_wire
{

/// What rmw_cyclonedds puts in front of every request and reply body: which client asked
/// (its request writer's instance handle) and its running number for the call. A server
/// copies both into the reply so the client can pair it with its request.
struct RequestHeader
{
  uint64_t client_guid = 0;
  int64_t sequence_number = 0;
};

/// Requests and replies as ROS 2 Humble with rmw_cyclonedds sends them: the encapsulation header
/// `00 01 00 00`, the 16-byte RequestHeader (uint64 guid, int64 sequence number), then the
/// body as CdrSerializer writes a message. The request header is a multiple of 8 bytes, so the
/// body's alignment is the same as in a plain message sample.
class ServiceSample
{
public:
  static constexpr size_t request_header_size = 16;

  /// Exact number of bytes serialize_into() produces for `body`, both headers included.
  static size_t serialized_size(
    const void * body,
    const rosidl_message_type_support_t * type_support);

  /// Writes into a buffer of at least serialized_size() bytes; returns the bytes written.
  /// Throws as CdrSerializer does.
  static size_t serialize_into(
    const RequestHeader & header, const void * body,
    const rosidl_message_type_support_t * type_support, uint8_t * buffer, size_t capacity);

  static std::vector<uint8_t> serialize(
    const RequestHeader & header, const void * body,
    const rosidl_message_type_support_t * type_support);

  /// Decodes the request header and the body, distrusting every byte as CdrDeserializer does
  /// (both byte orders); a sample too short for the headers is an error, never a crash.
  static DeserializationResult deserialize(
    const uint8_t * data, size_t size, RequestHeader & header, void * body,
    const rosidl_message_type_support_t * type_support);
};

}  // namespace dds_wire

#endif  // DDS_WIRE__SERVICE_SAMPLE_HPP_
