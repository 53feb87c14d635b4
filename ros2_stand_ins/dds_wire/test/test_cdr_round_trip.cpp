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

// Every generated type in the workspace survives serialize -> deserialize with all its fields
// set to non-default values, and the type-erased helpers the transport uses behave.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gtest/gtest.h"

#include "all_message_types.hpp"
#include "dds_wire/cdr_deserializer.hpp"
#include "dds_wire/cdr_serializer.hpp"
#include "dds_wire/message_type.hpp"
#include "message_filler.hpp"
#include "sensor_msgs/msg/detail/laser_scan__rosidl_typesupport_introspection_c.h"

namespace
{

using dds_wire::CdrDeserializer;
using dds_wire::CdrSerializer;
using dds_wire::MessageType;
using dds_wire_test::type_support_of;

template<typename MessageT>
class CdrRoundTrip : public ::testing::Test {};
TYPED_TEST_SUITE(CdrRoundTrip, dds_wire_test::AllMessageTypes);

TYPED_TEST(CdrRoundTrip, NonDefaultValuesComeBackEqual)
{
  const auto * type_support = type_support_of<TypeParam>();
  for (uint32_t seed = 1; seed <= 5; ++seed) {
    TypeParam original;
    dds_wire_test::MessageFiller(seed).fill(MessageType::members_of(type_support), &original);
    const std::vector<uint8_t> bytes = CdrSerializer::serialize(&original, type_support);
    EXPECT_EQ(bytes.size(), CdrSerializer::serialized_size(&original, type_support));

    // Decode into a message that already holds other data: every field must be overwritten.
    TypeParam decoded;
    dds_wire_test::MessageFiller(seed + 100).fill(MessageType::members_of(type_support), &decoded);
    const auto result =
      CdrDeserializer::deserialize(bytes.data(), bytes.size(), &decoded, type_support);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(decoded, original) << "seed " << seed;
  }
}

TYPED_TEST(CdrRoundTrip, TypeErasedMessagesAreCreatedDefault)
{
  // The transport only knows the type support: it creates the message from it, and decodes into
  // it as into the typed message above.
  const MessageType type(type_support_of<TypeParam>());
  std::shared_ptr<void> created = type.create_message();
  EXPECT_EQ(*static_cast<TypeParam *>(created.get()), TypeParam());
}

TEST(CdrRoundTripEdges, EmptySequencesStringsAndExtremeValues)
{
  rcl_interfaces::msg::ParameterValue value;
  value.integer_value = INT64_MIN;
  value.double_value = -0.0;
  value.string_value = std::string("embedded\0nul", 12);  // the length, not strlen, counts
  value.bool_array_value = std::vector<bool>(67, true);  // crosses vector<bool>'s word size
  value.bool_array_value[64] = false;
  value.string_array_value = {"", "", std::string(300, 'z')};
  const auto * type_support = type_support_of<rcl_interfaces::msg::ParameterValue>();
  const auto bytes = CdrSerializer::serialize(&value, type_support);
  rcl_interfaces::msg::ParameterValue decoded;
  ASSERT_TRUE(CdrDeserializer::deserialize(bytes.data(), bytes.size(), &decoded, type_support));
  EXPECT_EQ(decoded, value);
}

TEST(MessageTypeNames, FollowHumblesDdsAndRosConventions)
{
  const MessageType scan(type_support_of<sensor_msgs::msg::LaserScan>());
  EXPECT_EQ(scan.dds_type_name(), "sensor_msgs::msg::dds_::LaserScan_");
  EXPECT_EQ(scan.ros_type_name(), "sensor_msgs/msg/LaserScan");
  const MessageType request(type_support_of<rcl_interfaces::srv::GetParameters_Request>());
  EXPECT_EQ(request.dds_type_name(), "rcl_interfaces::srv::dds_::GetParameters_Request_");
  const MessageType info(type_support_of<quorvex_protocol::msg::RobotInfoLevelZero>());
  EXPECT_EQ(info.dds_type_name(), "quorvex_protocol::msg::dds_::RobotInfoLevelZero_");
}

TEST(MessageTypeNames, RejectsTypeSupportsItCannotWalk)
{
  // The C introspection describes C structs (rosidl_runtime_c__String, ...): walking a C++
  // message with it would corrupt memory, so it is refused up front.
  const auto * c_handle = ROSIDL_TYPESUPPORT_INTERFACE__MESSAGE_SYMBOL_NAME(
    rosidl_typesupport_introspection_c, sensor_msgs, msg, LaserScan)();
  EXPECT_THROW(MessageType{c_handle}, std::invalid_argument);
  EXPECT_THROW(MessageType{nullptr}, std::invalid_argument);
  sensor_msgs::msg::LaserScan scan;
  EXPECT_THROW(CdrSerializer::serialize(&scan, c_handle), std::invalid_argument);
}

}  // namespace
