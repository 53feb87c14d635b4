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

// Requests and replies as rmw_cyclonedds frames them: encapsulation header, 16-byte request
// header (client guid, sequence number), then the body with its alignment counted from the end
// of the encapsulation header, as in any message sample.
#include <cstdint>
#include <vector>

#include "gtest/gtest.h"

#include "all_message_types.hpp"
#include "dds_wire/service_sample.hpp"

namespace
{

using dds_wire::RequestHeader;
using dds_wire::ServiceSample;
using dds_wire_test::type_support_of;
using rcl_interfaces::srv::GetParameters;
using rcl_interfaces::srv::ListParameters;
using Bytes = std::vector<uint8_t>;

constexpr uint64_t kGuid = 0x0102030405060708u;

TEST(ServiceSample, GoldenBytesInBothDirectionsKeepTheBodysAlignment)
{
  const RequestHeader header{kGuid, 42};

  // The uint64 depth sits at body offset 8: 4 bytes of padding after the empty prefix list,
  // exactly as without the request header.
  ListParameters::Request list;
  list.depth = 3;
  const Bytes list_golden = {
    0x00, 0x01, 0x00, 0x00,
    0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // client guid
    0x2a, 0, 0, 0, 0, 0, 0, 0,  // sequence number
    0, 0, 0, 0,  // no prefixes
    0, 0, 0, 0,  // padding
    3, 0, 0, 0, 0, 0, 0, 0};

  EXPECT_EQ(
    ServiceSample::serialize(
      header, &list,
      type_support_of<ListParameters::Request>()), list_golden);
  EXPECT_EQ(
    ServiceSample::serialized_size(&list, type_support_of<ListParameters::Request>()),
    list_golden.size());

  RequestHeader decoded_header;
  ListParameters::Request decoded;
  const auto result = ServiceSample::deserialize(
    list_golden.data(), list_golden.size(), decoded_header, &decoded,
    type_support_of<ListParameters::Request>());
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(decoded, list);
  EXPECT_EQ(decoded_header.client_guid, kGuid);
  EXPECT_EQ(decoded_header.sequence_number, 42);
}

TEST(ServiceSample, BigEndianSamplesSwapTheRequestHeaderToo)
{
  const Bytes golden = {
    0x00, 0x00, 0x00, 0x00,
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xfe,  // -2
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
  RequestHeader header;
  ListParameters::Request decoded;
  const auto result = ServiceSample::deserialize(
    golden.data(), golden.size(), header, &decoded, type_support_of<ListParameters::Request>());
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(header.client_guid, kGuid);
  EXPECT_EQ(header.sequence_number, -2);
  EXPECT_EQ(decoded.depth, 7u);
}

TEST(ServiceSample, EveryTruncationIsAnError)
{
  GetParameters::Request names;
  names.names = {"ultrasonic.hor_range_max", "b"};
  const Bytes valid =
    ServiceSample::serialize({kGuid, 1}, &names, type_support_of<GetParameters::Request>());
  for (size_t size = 0; size < valid.size() - 1; ++size) {
    RequestHeader header;
    GetParameters::Request decoded;
    const auto result = ServiceSample::deserialize(
      valid.data(), size, header, &decoded, type_support_of<GetParameters::Request>());
    EXPECT_FALSE(result.ok) << "accepted a sample cut to " << size << " bytes";
    EXPECT_FALSE(result.error.empty());
  }

  RequestHeader header;
  GetParameters::Request decoded;
  const Bytes too_short(19, 0);
  EXPECT_EQ(
    ServiceSample::deserialize(
      too_short.data(), too_short.size(), header, &decoded,
      type_support_of<GetParameters::Request>()).error,
    "service sample of 19 bytes is shorter than its encapsulation and request headers (20 bytes)");
  // (Forged counts in the body: test_cdr_malformed, for every request and reply type.)
}

}  // namespace
