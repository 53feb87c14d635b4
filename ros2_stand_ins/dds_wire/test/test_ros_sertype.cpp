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

// DDS topics whose samples are ROS C++ messages: they must take every path Cyclone offers for
// samples, report bad samples to whoever takes them, and carry the ROS QoS into Cyclone
// faithfully. (Against endpoints of the idlc types, standing in for any other Humble peer:
// test_ros_sertype_network.)
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gtest/gtest.h"

#include "all_message_types.hpp"
#include "cyclone_loopback.hpp"
#include "dds/dds.h"
#include "dds/ddsi/ddsi_serdata.h"
#include "dds_wire/dds_names.hpp"
#include "dds_wire/qos_mapping.hpp"
#include "dds_wire/ros_serdata.hpp"
#include "dds_wire/ros_sertype.hpp"

namespace
{

using dds_wire::QosMapping;
using dds_wire::RosSerdata;
using dds_wire::RosSertype;
using dds_wire::WireQos;
using dds_wire_test::CycloneLoopback;
using dds_wire_test::type_support_of;

class RosSertypeTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite() {dds_ = new CycloneLoopback();}
  static void TearDownTestSuite()
  {
    delete dds_;
    dds_ = nullptr;
  }

  static std::string unique_topic(const std::string & base)
  {
    static int counter = 0;
    return dds_wire::DdsNames::message_topic("/" + base + "_" + std::to_string(++counter));
  }

  // `used_sertype` receives the sertype Cyclone actually uses (valid while the topic lives).
  template<typename RosT>
  dds_entity_t ros_topic(const std::string & name, ddsi_sertype ** used_sertype = nullptr)
  {
    ddsi_sertype * sertype = RosSertype::create(type_support_of<RosT>());
    const dds_entity_t topic =
      dds_create_topic_sertype(
      dds_->participant(),
      name.c_str(), &sertype, nullptr, nullptr, nullptr);
    EXPECT_GT(topic, 0) << dds_strretcode(topic);
    if (used_sertype != nullptr) {
      *used_sertype = sertype;
    }
    return topic;
  }

  dds_entity_t writer(dds_entity_t topic, const WireQos & qos = WireQos())
  {
    const dds_entity_t entity =
      dds_create_writer(dds_get_participant(topic), topic, QosMapping::to_dds(qos).get(), nullptr);
    EXPECT_GT(entity, 0) << dds_strretcode(entity);
    return entity;
  }

  dds_entity_t reader(dds_entity_t topic, const WireQos & qos = WireQos())
  {
    const dds_entity_t entity =
      dds_create_reader(dds_get_participant(topic), topic, QosMapping::to_dds(qos).get(), nullptr);
    EXPECT_GT(entity, 0) << dds_strretcode(entity);
    return entity;
  }

  // Takes one raw sample and decodes it with the message's own type support.
  template<typename RosT>
  static dds_wire::DeserializationResult take_decoded(dds_entity_t reader, RosT & message)
  {
    EXPECT_TRUE(CycloneLoopback::wait_for_data(reader));
    ddsi_serdata * raw = nullptr;
    dds_sample_info_t info;
    if (dds_takecdr(reader, &raw, 1, &info, DDS_ANY_STATE) != 1) {
      return {false, "nothing taken"};
    }
    const auto result = RosSerdata::from(raw).deserialize(&message);
    ddsi_serdata_unref(raw);
    return result;
  }

  // Every test has topics of its own; the domain takes all entities along when the suite ends.
  static CycloneLoopback * dds_;
};

CycloneLoopback * RosSertypeTest::dds_ = nullptr;

TEST_F(RosSertypeTest, RosToRosWithLoanedSamples)
{
  const std::string name = unique_topic("ros_to_ros");
  const dds_entity_t topic = ros_topic<std_msgs::msg::UInt16MultiArray>(name);
  const dds_entity_t ros_writer = writer(topic);
  const dds_entity_t ros_reader = reader(topic);

  for (uint16_t i = 4; i <= 5; ++i) {
    std_msgs::msg::UInt16MultiArray array;
    array.data = {i, static_cast<uint16_t>(i * 100)};
    ASSERT_EQ(dds_write(ros_writer, &array), DDS_RETCODE_OK);
  }
  ASSERT_TRUE(CycloneLoopback::wait_for_data(ros_reader));
  // Loaned samples exercise the sertype's allocation hooks.
  void * samples[8] = {nullptr};
  dds_sample_info_t infos[8];
  const dds_return_t taken = dds_take(ros_reader, samples, infos, 8, 8);
  ASSERT_EQ(taken, 2);
  EXPECT_EQ(
    static_cast<std_msgs::msg::UInt16MultiArray *>(samples[0])->data,
    (std::vector<uint16_t>{4, 400}));
  EXPECT_EQ(
    static_cast<std_msgs::msg::UInt16MultiArray *>(samples[1])->data,
    (std::vector<uint16_t>{5, 500}));
  EXPECT_EQ(dds_return_loan(ros_reader, samples, taken), DDS_RETCODE_OK);
}

TEST_F(RosSertypeTest, OneTopicNameOpenedTwiceSharesTheInternedSertype)
{
  // A publisher and a subscription of one process on one topic each open it: the second
  // sertype must compare equal to the first, or Cyclone refuses the second topic.
  const std::string name = unique_topic("twice");
  ddsi_sertype * first = nullptr;
  ddsi_sertype * second = nullptr;
  const dds_entity_t ros_writer = writer(ros_topic<sensor_msgs::msg::LaserScan>(name, &first));
  const dds_entity_t ros_reader = reader(ros_topic<sensor_msgs::msg::LaserScan>(name, &second));
  EXPECT_EQ(first, second);

  sensor_msgs::msg::LaserScan scan;
  scan.header.frame_id = "ultrasonic_laser2";
  scan.ranges = {0.75f, 0.75f, 0.75f};
  ASSERT_EQ(dds_write(ros_writer, &scan), DDS_RETCODE_OK);
  sensor_msgs::msg::LaserScan received;
  ASSERT_TRUE(take_decoded(ros_reader, received).ok);
  EXPECT_EQ(received, scan);
}

TEST_F(RosSertypeTest, MalformedSamplesReachTheTakerAsAnErrorAndTheNextOneIsFine)
{
  const std::string name = unique_topic("malformed");
  ddsi_sertype * sertype = nullptr;
  const dds_entity_t topic = ros_topic<quorvex_protocol::msg::RobotInfoLevelZero>(name, &sertype);
  const dds_entity_t ros_writer = writer(topic);
  const dds_entity_t ros_reader = reader(topic);

  // A sample cut short after header.stamp.sec, as a broken peer might send it.
  const uint8_t truncated[] = {0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
  ddsrt_iovec_t iov;
  iov.iov_base = const_cast<uint8_t *>(truncated);
  iov.iov_len = sizeof truncated;
  ddsi_serdata * raw = ddsi_serdata_from_ser_iov(sertype, SDK_DATA, 1, &iov, sizeof truncated);
  ASSERT_NE(raw, nullptr);
  ASSERT_EQ(dds_writecdr(ros_writer, raw), DDS_RETCODE_OK);  // consumes our reference

  quorvex_protocol::msg::RobotInfoLevelZero message;
  EXPECT_EQ(
    take_decoded(ros_reader, message).error,
    "header.stamp.nanosec: sample ends early: needs 1 x 4 bytes but only 0 are left");

  quorvex_protocol::msg::RobotInfoLevelZero good;
  good.bumper_trig = true;
  ASSERT_EQ(dds_write(ros_writer, &good), DDS_RETCODE_OK);
  ASSERT_TRUE(take_decoded(ros_reader, message).ok);
  EXPECT_EQ(message, good);
}

// What Cyclone then does with the policies (keep-last drops, transient-local replays) is its own
// business; what we hand it must be what a Humble peer's rmw hands it.
TEST(QosMappingTest, EveryPolicyReachesCycloneAsHumbleSetsIt)
{
  using History = WireQos::History;
  using Reliability = WireQos::Reliability;
  using Durability = WireQos::Durability;
  struct Row
  {
    WireQos qos;
    dds_history_kind_t history;
    int32_t depth;
    dds_reliability_kind_t reliability;
    dds_durability_kind_t durability;
  };
  const Row rows[] = {
    {{History::KeepLast, 7, Reliability::Reliable, Durability::Volatile},
      DDS_HISTORY_KEEP_LAST, 7, DDS_RELIABILITY_RELIABLE, DDS_DURABILITY_VOLATILE},
    // DDS has no keep-last-0: depth 1 stands in.
    {{History::KeepLast, 0, Reliability::BestEffort, Durability::TransientLocal},
      DDS_HISTORY_KEEP_LAST, 1, DDS_RELIABILITY_BEST_EFFORT, DDS_DURABILITY_TRANSIENT_LOCAL},
    {{History::KeepAll, 3, Reliability::Reliable, Durability::TransientLocal},
      DDS_HISTORY_KEEP_ALL, DDS_LENGTH_UNLIMITED, DDS_RELIABILITY_RELIABLE,
      DDS_DURABILITY_TRANSIENT_LOCAL},
  };
  for (const Row & row : rows) {
    const auto qos = QosMapping::to_dds(row.qos);
    dds_history_kind_t history;
    int32_t depth = 0;
    dds_reliability_kind_t reliability;
    dds_duration_t max_blocking = 0;
    dds_durability_kind_t durability;
    bool autodispose = true;
    ASSERT_TRUE(dds_qget_history(qos.get(), &history, &depth));
    ASSERT_TRUE(dds_qget_reliability(qos.get(), &reliability, &max_blocking));
    ASSERT_TRUE(dds_qget_durability(qos.get(), &durability));
    ASSERT_TRUE(dds_qget_writer_data_lifecycle(qos.get(), &autodispose));
    EXPECT_EQ(history, row.history);
    EXPECT_EQ(depth, row.depth);
    EXPECT_EQ(reliability, row.reliability);
    if (reliability == DDS_RELIABILITY_RELIABLE) {
      EXPECT_EQ(max_blocking, DDS_INFINITY);  // a full history blocks the writer, never fails
    }
    EXPECT_EQ(durability, row.durability);
    EXPECT_FALSE(autodispose);
  }
}

}  // namespace
