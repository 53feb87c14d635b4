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

// Cross-check against an independent implementation: Cyclone DDS with C types that its own
// idlc generated from IDL for the same ROS types. (a) Our bytes, handed to Cyclone as a raw
// sample of the idlc type, come out of dds_take as the same field values; (b) Cyclone's own
// serialization of that idlc struct is byte-identical to ours and decodes with our
// deserializer to the same message.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gtest/gtest.h"

#include "all_message_types.hpp"
#include "cyclone_loopback.hpp"
#include "dds/dds.h"
#include "dds/ddsi/ddsi_serdata.h"
#include "dds_wire/cdr_deserializer.hpp"
#include "dds_wire/cdr_serializer.hpp"
#include "dds_wire/message_type.hpp"
#include "idl_conversions.hpp"
#include "message_filler.hpp"

namespace
{

using dds_wire::CdrDeserializer;
using dds_wire::CdrSerializer;
using dds_wire_test::CycloneLoopback;
using dds_wire_test::type_support_of;
using Bytes = std::vector<uint8_t>;

class CycloneInterop : public ::testing::Test
{
protected:
  static void SetUpTestSuite() {dds_ = new CycloneLoopback();}
  static void TearDownTestSuite()
  {
    delete dds_;
    dds_ = nullptr;
  }

  /// The next sample of `reader`, raw.
  static ddsi_serdata * take_raw(dds_entity_t reader)
  {
    ddsi_serdata * raw = nullptr;
    dds_sample_info_t info;
    EXPECT_TRUE(CycloneLoopback::wait_for_data(reader));
    EXPECT_EQ(dds_takecdr(reader, &raw, 1, &info, DDS_ANY_STATE), 1);
    return raw;
  }

  template<typename RosT, typename CT>
  static void expect_cyclone_agrees(const dds_topic_descriptor_t * descriptor, const RosT & message)
  {
    // One topic with an idlc-typed reader and writer per check.
    static int topic_counter = 0;
    const std::string name = "rt/wire_check_" + std::to_string(++topic_counter);
    dds_qos_t * qos = CycloneLoopback::reliable_qos();
    const dds_entity_t topic = dds_create_topic(
      dds_->participant(), descriptor,
      name.c_str(), qos, nullptr);
    const dds_entity_t reader = dds_create_reader(dds_->participant(), topic, qos, nullptr);
    const dds_entity_t writer = dds_create_writer(dds_->participant(), topic, qos, nullptr);
    dds_delete_qos(qos);
    ASSERT_GT(reader, 0) << dds_strretcode(reader);
    ASSERT_GT(writer, 0) << dds_strretcode(writer);
    // The idlc sertype is only reachable through its samples in this Cyclone version.
    const CT empty{};
    ASSERT_EQ(dds_write(writer, &empty), DDS_RETCODE_OK);
    ddsi_serdata * raw = take_raw(reader);
    ASSERT_NE(raw, nullptr);
    ddsi_sertype * idlc_type = ddsi_sertype_ref(raw->type);
    ddsi_serdata_unref(raw);

    // (a) Our bytes go in as a raw sample of the idlc type; Cyclone validates and decodes them.
    const Bytes ours = CdrSerializer::serialize(&message, type_support_of<RosT>());
    ddsrt_iovec_t iov;
    iov.iov_base = const_cast<uint8_t *>(ours.data());
    iov.iov_len = static_cast<ddsrt_iov_len_t>(ours.size());
    ddsi_serdata * ours_raw = ddsi_serdata_from_ser_iov(idlc_type, SDK_DATA, 1, &iov, ours.size());
    ddsi_sertype_unref(idlc_type);
    ASSERT_NE(ours_raw, nullptr) << "Cyclone rejected our serialization";
    ASSERT_EQ(dds_writecdr(writer, ours_raw), DDS_RETCODE_OK);
    ASSERT_TRUE(CycloneLoopback::wait_for_data(reader));
    void * samples[1] = {nullptr};
    dds_sample_info_t info;
    ASSERT_EQ(dds_take(reader, samples, &info, 1, 1), 1);
    EXPECT_EQ(dds_wire_test::from_c(*static_cast<const CT *>(samples[0])), message);

    // (b) Cyclone serializes those values again: the same bytes, which our deserializer reads.
    ASSERT_EQ(dds_write(writer, samples[0]), DDS_RETCODE_OK);
    dds_return_loan(reader, samples, 1);
    raw = take_raw(reader);
    ASSERT_NE(raw, nullptr);
    Bytes theirs(ddsi_serdata_size(raw));
    ddsi_serdata_to_ser(raw, 0, theirs.size(), theirs.data());
    ddsi_serdata_unref(raw);
    RosT decoded;
    const auto result =
      CdrDeserializer::deserialize(theirs.data(), theirs.size(), &decoded, type_support_of<RosT>());
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(decoded, message);
    // Same representation and byte order; the options bytes may carry Cyclone's padding count.
    ASSERT_GE(theirs.size(), ours.size());
    EXPECT_EQ(Bytes(theirs.begin(), theirs.begin() + 2), Bytes(ours.begin(), ours.begin() + 2));
    EXPECT_EQ(
      Bytes(theirs.begin() + 4, theirs.begin() + ours.size()),
      Bytes(ours.begin() + 4, ours.end()));
    EXPECT_LT(theirs.size() - ours.size(), 4u) << "only padding to 4 bytes may follow";
    dds_delete(writer);
    dds_delete(reader);
    dds_delete(topic);
  }

  /// The hand-made edge case, then messages with every field set.
  template<typename RosT, typename CT>
  static void expect_cyclone_agrees_on(
    const dds_topic_descriptor_t * descriptor, const RosT & edge_case, uint32_t seeds = 3)
  {
    expect_cyclone_agrees<RosT, CT>(descriptor, edge_case);
    for (uint32_t seed = 1; seed <= seeds; ++seed) {
      RosT message;
      dds_wire_test::MessageFiller(seed).fill(
        dds_wire::MessageType::members_of(type_support_of<RosT>()), &message);
      expect_cyclone_agrees<RosT, CT>(descriptor, message);
    }
  }

  static CycloneLoopback * dds_;
};

CycloneLoopback * CycloneInterop::dds_ = nullptr;

TEST_F(CycloneInterop, LaserScan)
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.frame_id = "ultrasonic_laser1";
  scan.header.stamp.sec = 12;
  scan.angle_min = -0.25f;
  scan.range_max = 4.5f;
  scan.ranges = {0.5f, 1.0f, 1.5f};  // and no intensities
  expect_cyclone_agrees_on<sensor_msgs::msg::LaserScan, sensor_msgs_msg_dds__LaserScan_>(
    &sensor_msgs_msg_dds__LaserScan__desc, scan);
}

TEST_F(CycloneInterop, UInt16MultiArray)
{
  std_msgs::msg::UInt16MultiArray array;
  array.layout.dim.resize(2);
  array.layout.dim[0].label = "rows";
  array.data = {1, 2, 3, 65535};
  expect_cyclone_agrees<std_msgs::msg::UInt16MultiArray, std_msgs_msg_dds__UInt16MultiArray_>(
    &std_msgs_msg_dds__UInt16MultiArray__desc, std_msgs::msg::UInt16MultiArray());
  expect_cyclone_agrees_on<std_msgs::msg::UInt16MultiArray, std_msgs_msg_dds__UInt16MultiArray_>(
    &std_msgs_msg_dds__UInt16MultiArray__desc, array);
}

TEST_F(CycloneInterop, RobotInfoLevelZero)
{
  quorvex_protocol::msg::RobotInfoLevelZero info;
  info.bumper_trig = true;
  expect_cyclone_agrees_on<
    quorvex_protocol::msg::RobotInfoLevelZero, quorvex_protocol_msg_dds__RobotInfoLevelZero_>(
    &quorvex_protocol_msg_dds__RobotInfoLevelZero__desc, info);
}

TEST_F(CycloneInterop, DiagnosticArray)
{
  diagnostic_msgs::msg::DiagnosticArray array;
  array.header.frame_id = "base_link";
  diagnostic_msgs::msg::DiagnosticStatus status;
  status.level = diagnostic_msgs::msg::DiagnosticStatus::ERROR;
  status.name = "ultrasonic 1";
  status.hardware_id = "ultrasonic_01_link";  // after an empty message
  diagnostic_msgs::msg::KeyValue value;
  value.key = "last reading (mm)";
  value.value = "65535";
  status.values = {value, value};
  array.status = {status, diagnostic_msgs::msg::DiagnosticStatus()};
  expect_cyclone_agrees_on<
    diagnostic_msgs::msg::DiagnosticArray, diagnostic_msgs_msg_dds__DiagnosticArray_>(
    &diagnostic_msgs_msg_dds__DiagnosticArray__desc, array);
}

TEST_F(CycloneInterop, ParameterValueCoversEightByteAlignmentAndEmptySequences)
{
  rcl_interfaces::msg::ParameterValue value;
  value.bool_value = true;
  value.integer_value = -2;
  value.byte_array_value = {0xAB};
  value.bool_array_value = {true, false, true};
  value.double_array_value = {1.0};  // follows an EMPTY int64 sequence: no padding for it
  value.string_array_value = {"a", ""};
  expect_cyclone_agrees_on<rcl_interfaces::msg::ParameterValue,
    rcl_interfaces_msg_dds__ParameterValue_>(
    &rcl_interfaces_msg_dds__ParameterValue__desc, value, 5);
}

}  // namespace
