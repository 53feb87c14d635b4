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

#ifndef FUZZ__WIRE_ROUND_TRIP_HPP_
#define FUZZ__WIRE_ROUND_TRIP_HPP_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dds_wire/cdr_deserializer.hpp"
#include "dds_wire/cdr_serializer.hpp"
#include "dds_wire/service_sample.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

// What the DDS transport does with a sample from another process, and the property every
// accepted sample must have: what we decoded encodes to bytes that decode to the same message.
// Bytes, not messages, are compared, since NaN never equals itself and a true bool may have
// arrived as any non-zero byte.

namespace obsfeed_fuzz
{

[[noreturn]] inline void fail(const char * what, const std::string & detail)
{
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

template<typename MessageT>
void decodeTopicSample(const std::uint8_t * data, std::size_t size)
{
  const auto * type_support =
    rosidl_typesupport_introspection_cpp::get_message_type_support_handle<MessageT>();
  MessageT message;
  if (!dds_wire::CdrDeserializer::deserialize(data, size, &message, type_support)) {
    return;
  }
  const auto bytes = dds_wire::CdrSerializer::serialize(&message, type_support);
  MessageT again;
  const auto result =
    dds_wire::CdrDeserializer::deserialize(bytes.data(), bytes.size(), &again, type_support);
  if (!result) {
    fail("our own encoding does not decode", result.error);
  }
  if (dds_wire::CdrSerializer::serialize(&again, type_support) != bytes) {
    fail("decoding changed the message", "");
  }
}

template<typename RequestT>
void decodeServiceRequest(const std::uint8_t * data, std::size_t size)
{
  const auto * type_support =
    rosidl_typesupport_introspection_cpp::get_message_type_support_handle<RequestT>();
  RequestT request;
  dds_wire::RequestHeader header;
  if (!dds_wire::ServiceSample::deserialize(data, size, header, &request, type_support)) {
    return;
  }
  const auto bytes = dds_wire::ServiceSample::serialize(header, &request, type_support);
  RequestT again;
  dds_wire::RequestHeader header_again;
  const auto result = dds_wire::ServiceSample::deserialize(
    bytes.data(), bytes.size(), header_again, &again, type_support);
  if (!result) {
    fail("our own encoding does not decode", result.error);
  }
  if (header_again.client_guid != header.client_guid ||
    header_again.sequence_number != header.sequence_number ||
    dds_wire::ServiceSample::serialize(header_again, &again, type_support) != bytes)
  {
    fail("decoding changed the request", "");
  }
}

}  // namespace obsfeed_fuzz

#endif  // FUZZ__WIRE_ROUND_TRIP_HPP_
