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

// Samples from the network are untrusted: whatever the bytes, decoding must end in either a
// message or one clear error, never a crash, an over-read or an allocation sized by a forged
// count. Buffers here are exact-size heap copies so ASan / valgrind see any over-read.
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gtest/gtest.h"

#include "all_message_types.hpp"
#include "dds_wire/cdr_deserializer.hpp"
#include "dds_wire/cdr_serializer.hpp"
#include "dds_wire/message_type.hpp"
#include "message_filler.hpp"

namespace
{

using dds_wire::CdrDeserializer;
using dds_wire::CdrSerializer;
using dds_wire::DeserializationResult;
using dds_wire::MessageType;
using dds_wire_test::type_support_of;
using Bytes = std::vector<uint8_t>;

template<typename MessageT>
DeserializationResult decode(const Bytes & bytes)
{
  // A fresh allocation of exactly bytes.size(), so reading one byte too far is detectable.
  std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
  if (!bytes.empty()) {
    std::memcpy(exact.get(), bytes.data(), bytes.size());
  }
  MessageT message;
  return CdrDeserializer::deserialize(
    exact.get(), bytes.size(), &message,
    type_support_of<MessageT>());
}

void put_uint32(Bytes & bytes, size_t offset, uint32_t value)
{
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

template<typename MessageT>
Bytes filled_sample(uint32_t seed)
{
  MessageT message;
  dds_wire_test::MessageFiller(seed).fill(
    MessageType::members_of(type_support_of<MessageT>()), &message);
  return CdrSerializer::serialize(&message, type_support_of<MessageT>());
}

template<typename MessageT>
class CdrMalformed : public ::testing::Test {};
TYPED_TEST_SUITE(CdrMalformed, dds_wire_test::AllMessageTypes);

TYPED_TEST(CdrMalformed, EveryTruncationIsRejectedWithAReason)
{
  // Our samples carry no trailing padding, so every proper prefix lacks a needed byte.
  const Bytes sample = filled_sample<TypeParam>(3);
  for (size_t length = 0; length < sample.size(); ++length) {
    const auto result = decode<TypeParam>(Bytes(sample.begin(), sample.begin() + length));
    EXPECT_FALSE(result.ok) << "prefix of " << length << " of " << sample.size() << " bytes";
    EXPECT_FALSE(result.error.empty());
  }
  EXPECT_TRUE(decode<TypeParam>(sample).ok);
}

TYPED_TEST(CdrMalformed, RandomMutationsNeverCrashOrOverRead)
{
  std::mt19937 random(7);
  const Bytes sample = filled_sample<TypeParam>(5);
  const uint32_t nasty_words[] = {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 4000000000u};
  for (int round = 0; round < 2000; ++round) {
    Bytes mutated = sample;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int edit = 0; edit < edits && mutated.size() > 4; ++edit) {
      const size_t at = 4 + random() % (mutated.size() - 4);
      switch (random() % 4) {
        case 0:
          mutated[at] = static_cast<uint8_t>(random());
          break;
        case 1:
          if (at + 4 <= mutated.size()) {
            put_uint32(mutated, at & ~size_t{3}, nasty_words[random() % 6]);
          }
          break;
        case 2:
          mutated.resize(at);
          break;
        default:
          mutated.insert(
            mutated.begin() + static_cast<std::ptrdiff_t>(at),
            static_cast<uint8_t>(random()));
          break;
      }
    }
    const auto result = decode<TypeParam>(mutated);
    EXPECT_TRUE(result.ok || !result.error.empty());
  }
}

// Forged counts are rejected before anything is allocated for them; every error names the field.
TEST(CdrMalformedLengths, ForgedLengthsAndMissingNulsAreRejectedNamingTheField)
{
  // A small scan: frame_id's length word at byte 12 and its NUL at 21, the ranges' count at
  // byte 52, the intensities' count at 64.
  const auto scan_error = [](size_t at, uint32_t word) {
      sensor_msgs::msg::LaserScan scan;
      scan.header.frame_id = "laser";
      scan.ranges = {1.0f, 2.0f};
      Bytes bytes = CdrSerializer::serialize(&scan, type_support_of<sensor_msgs::msg::LaserScan>());
      EXPECT_EQ(bytes.size(), 68u);
      put_uint32(bytes, at, word);
      return decode<sensor_msgs::msg::LaserScan>(bytes).error;
    };
  EXPECT_EQ(
    scan_error(
      52,
      4000000000u),
    "ranges: sequence length 4000000000 exceeds the 12 bytes left");
  // One element more than the bytes hold, in the last field.
  EXPECT_EQ(scan_error(64, 1), "intensities: sequence length 1 exceeds the 0 bytes left");
  EXPECT_EQ(
    scan_error(12, std::numeric_limits<uint32_t>::max()),
    "header.frame_id: string length 4294967295 exceeds the 52 bytes left");
  // "r", then 'X' where the NUL after "laser" was.
  EXPECT_EQ(scan_error(20, 'r' | 'X' << 8), "header.frame_id: string of length 6 lacks its NUL");

  std_msgs::msg::UInt16MultiArray array;
  array.layout.dim.resize(2);
  array.layout.dim[0].label = "x";
  array.layout.dim[1].label = "y";
  Bytes bytes =
    CdrSerializer::serialize(&array, type_support_of<std_msgs::msg::UInt16MultiArray>());
  bytes[29] = 'Y';  // dim[1] starts at pos 20: its label length word is at byte 24, the NUL at 29
  EXPECT_EQ(
    decode<std_msgs::msg::UInt16MultiArray>(bytes).error,
    "layout.dim[1].label: string of length 2 lacks its NUL");

  // ParameterDescriptor.floating_point_range is FloatingPointRange[<=1]. After name(5) type(1)
  // pad(3) description(5) pad(3) constraints(5) read_only dynamic_typing, its count is at pos 24.
  rcl_interfaces::msg::ParameterDescriptor descriptor;
  descriptor.floating_point_range.resize(1);
  bytes = CdrSerializer::serialize(
    &descriptor,
    type_support_of<rcl_interfaces::msg::ParameterDescriptor>());
  ASSERT_EQ(bytes[28], 1u);
  bytes[28] = 2;
  EXPECT_EQ(
    decode<rcl_interfaces::msg::ParameterDescriptor>(bytes).error,
    "floating_point_range: sequence length 2 exceeds its bound 1");
}

TEST(CdrMalformedHeader, OnlyClassicCdrIsAccepted)
{
  EXPECT_EQ(
    decode<rcl_interfaces::msg::ParameterType>({}).error,
    "sample of 0 bytes is shorter than the 4-byte encapsulation header");
  EXPECT_EQ(
    decode<rcl_interfaces::msg::ParameterType>({0x00, 0x01, 0x00}).error,
    "sample of 3 bytes is shorter than the 4-byte encapsulation header");
  // XCDR2 little endian, PL_CDR little endian, garbage.
  EXPECT_EQ(
    decode<rcl_interfaces::msg::ParameterType>({0x00, 0x07, 0x00, 0x00, 0x00}).error,
    "unsupported encapsulation 00 07 (only classic CDR, 00 00 or 00 01, is understood)");
  EXPECT_FALSE(decode<rcl_interfaces::msg::ParameterType>({0x00, 0x03, 0x00, 0x00, 0x00}).ok);
  EXPECT_FALSE(decode<rcl_interfaces::msg::ParameterType>({0x01, 0x01, 0x00, 0x00, 0x00}).ok);
  // Trailing padding, as RTPS rounds samples up to 4 bytes, is fine.
  EXPECT_TRUE(
    decode<rcl_interfaces::msg::ParameterType>(
      {0x00, 0x01, 0x00, 0x00, 0x00, 0, 0,
        0}).ok);
}

}  // namespace
