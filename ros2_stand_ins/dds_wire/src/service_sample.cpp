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

#include "dds_wire/service_sample.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "dds_wire/cdr_serializer.hpp"
#include "dds_wire/cdr_writer.hpp"

namespace dds_wire
{

namespace
{

constexpr size_t encapsulation_size = CdrWriter::header_size;
constexpr size_t headers_size = encapsulation_size + ServiceSample::request_header_size;

template<typename IntegerT>
IntegerT read_integer(const uint8_t * bytes, bool big_endian)
{
  uint8_t copy[sizeof(IntegerT)];
  std::memcpy(copy, bytes, sizeof copy);
  if (big_endian) {
    std::reverse(copy, copy + sizeof copy);
  }
  IntegerT value;
  std::memcpy(&value, copy, sizeof value);
  return value;
}

}  // namespace

size_t ServiceSample::serialized_size(
  const void * body, const rosidl_message_type_support_t * type_support)
{
  return CdrSerializer::serialized_size(body, type_support) + request_header_size;
}

size_t ServiceSample::serialize_into(
  const RequestHeader & header, const void * body,
  const rosidl_message_type_support_t * type_support, uint8_t * buffer, size_t capacity)
{
  if (capacity < headers_size) {
    throw std::length_error("buffer too small for the service headers");
  }
  // The body is written as a message sample 16 bytes in, then its encapsulation header moves to
  // the front: CDR alignment counts from the end of that header, and 16 keeps every alignment.
  const size_t sample_size = CdrSerializer::serialize_into(
    body, type_support, buffer + request_header_size, capacity - request_header_size);
  std::memmove(buffer, buffer + request_header_size, encapsulation_size);
  std::memcpy(buffer + encapsulation_size, &header.client_guid, sizeof header.client_guid);
  std::memcpy(
    buffer + encapsulation_size + sizeof header.client_guid, &header.sequence_number,
    sizeof header.sequence_number);
  return sample_size + request_header_size;
}

std::vector<uint8_t> ServiceSample::serialize(
  const RequestHeader & header, const void * body,
  const rosidl_message_type_support_t * type_support)
{
  std::vector<uint8_t> bytes(serialized_size(body, type_support));
  serialize_into(header, body, type_support, bytes.data(), bytes.size());
  return bytes;
}

DeserializationResult ServiceSample::deserialize(
  const uint8_t * data, size_t size, RequestHeader & header, void * body,
  const rosidl_message_type_support_t * type_support)
{
  if (size < headers_size) {
    return {false, "service sample of " + std::to_string(size) +
      " bytes is shorter than its encapsulation and request headers (20 bytes)"};
  }
  // The body decodes as a message sample: its own encapsulation header followed by the rest.
  // Service calls are rare and small, so one copy buys reusing the whole checked decoder.
  std::vector<uint8_t> sample(size - request_header_size);
  std::memcpy(sample.data(), data, encapsulation_size);
  std::memcpy(sample.data() + encapsulation_size, data + headers_size, size - headers_size);
  auto result = CdrDeserializer::deserialize(sample.data(), sample.size(), body, type_support);
  if (!result) {
    return result;
  }
  // A valid encapsulation header is now known; byte 1 is 0 for big endian.
  const bool big_endian = data[1] == 0x00;
  header.client_guid = read_integer<uint64_t>(data + encapsulation_size, big_endian);
  header.sequence_number = read_integer<int64_t>(data + encapsulation_size + 8, big_endian);
  return result;
}

}  // namespace dds_wire
