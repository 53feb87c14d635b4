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

// The exact bytes ROS 2 Humble peers put on the wire, written out by hand from the CDR rules:
// a 4-byte encapsulation header, then each field aligned to its own size counted from the END
// of that header, strings as uint32 length (NUL included) + bytes + NUL, sequences as uint32
// count + elements. "pos" in the comments is the offset after the header. Cyclone's own
// serializer checks the common types (test_cyclone_interop); these are the cases where both
// could be wrong alike: eight-byte alignment, a message without fields, big-endian input.
#include <cstdint>
#include <vector>

#include "gtest/gtest.h"

#include "all_message_types.hpp"
#include "dds_wire/cdr_deserializer.hpp"
#include "dds_wire/cdr_serializer.hpp"

namespace
{

using dds_wire::CdrDeserializer;
using dds_wire::CdrSerializer;
using dds_wire_test::type_support_of;
using Bytes = std::vector<uint8_t>;

// Both directions against one golden sample: our bytes equal it, and it decodes to the message.
template<typename MessageT>
void expect_golden(const MessageT & message, const Bytes & golden)
{
  EXPECT_EQ(CdrSerializer::serialize(&message, type_support_of<MessageT>()), golden);
  EXPECT_EQ(CdrSerializer::serialized_size(&message, type_support_of<MessageT>()), golden.size());
  MessageT decoded;
  const auto result =
    CdrDeserializer::deserialize(
    golden.data(), golden.size(), &decoded,
    type_support_of<MessageT>());
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(decoded, message);
}

TEST(CdrGolden, EightByteFieldsAlignFromTheEndOfTheHeaderNotTheBufferStart)
{
  // Counted from the start of the buffer, integer_value would already be aligned at pos 4;
  // counted from the header's end (the rule) it needs 6 bytes of padding to reach pos 8.
  rcl_interfaces::msg::ParameterValue value;
  value.type = 2;
  value.bool_value = true;
  value.integer_value = -2;
  value.double_value = 0.5;  // 0x3FE0000000000000
  value.string_value = "";
  value.byte_array_value = {0xAB};
  value.bool_array_value = {true, false, true};  // std::vector<bool>: packed in memory
  value.integer_array_value = {};
  value.double_array_value = {1.0};  // 0x3FF0000000000000
  value.string_array_value = {"a", ""};

  const Bytes golden = {
    0x00, 0x01, 0x00, 0x00,  // encapsulation
    0x02,  // pos 0  type
    0x01,  // pos 1  bool_value
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // pos 2  padding to 8
    0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // pos 8  integer_value = -2
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,  // pos 16 double_value = 0.5
    0x01, 0x00, 0x00, 0x00, 0x00,  // pos 24 string_value: length 1, just the NUL
    0x00, 0x00, 0x00,  // pos 29 padding to 4
    0x01, 0x00, 0x00, 0x00, 0xAB,  // pos 32 byte_array_value count 1, one octet
    0x00, 0x00, 0x00,  // pos 37 padding to 4
    0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,  // pos 40 bool_array_value count 3, 1 byte each
    0x00,  // pos 47 padding to 4
    0x00, 0x00, 0x00, 0x00,  // pos 48 integer_array_value count 0: no padding to 8 follows
    0x01, 0x00, 0x00, 0x00,  // pos 52 double_array_value count 1
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // pos 56 1.0, already 8-aligned
    0x02, 0x00, 0x00, 0x00,  // pos 64 string_array_value count 2
    0x02, 0x00, 0x00, 0x00, 'a', 0x00,  // pos 68 "a"
    0x00, 0x00,  // pos 74 padding to 4
    0x01, 0x00, 0x00, 0x00, 0x00,  // pos 76 ""
  };
  expect_golden(value, golden);
}

TEST(CdrGolden, AMessageWithoutFieldsIsOneZeroByte)
{
  // rosidl gives a constants-only message a placeholder uint8 member.
  expect_golden(rcl_interfaces::msg::ParameterType(), Bytes{0x00, 0x01, 0x00, 0x00, 0x00});
}

TEST(CdrGolden, BigEndianSamplesDecodeToTheSameMessage)
{
  // A DDS writer on a big-endian host may send its native order; the header says so.
  quorvex_protocol::msg::RobotInfoLevelZero expected;
  expected.header.stamp.sec = 1700000000;
  expected.header.stamp.nanosec = 7;
  expected.header.frame_id = "base";
  expected.bumper_trig = true;
  const Bytes big_endian = {
    0x00, 0x00, 0x00, 0x00,  // encapsulation: CDR big endian
    0x65, 0x53, 0xF1, 0x00,  // header.stamp.sec
    0x00, 0x00, 0x00, 0x07,  // header.stamp.nanosec
    0x00, 0x00, 0x00, 0x05,  // header.frame_id length
    'b', 'a', 's', 'e', 0x00,
    0x01,  // bumper_trig
  };
  quorvex_protocol::msg::RobotInfoLevelZero decoded;
  const auto result = CdrDeserializer::deserialize(
    big_endian.data(), big_endian.size(), &decoded,
    type_support_of<quorvex_protocol::msg::RobotInfoLevelZero>());
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(decoded, expected);
}

}  // namespace
