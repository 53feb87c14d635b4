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

// Our sertype against an idlc peer in ANOTHER PROCESS, so samples cross real UDP on loopback:
// this is the only path where Cyclone hands received data to the sertype as a fragment chain
// (and takes ours by reference for sending); the scan is large enough to be split into many
// fragments both ways.
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "gtest/gtest.h"

#include "all_message_types.hpp"
#include "cyclone_loopback.hpp"
#include "dds/dds.h"
#include "dds/ddsi/ddsi_serdata.h"
#include "dds_wire/qos_mapping.hpp"
#include "dds_wire/ros_serdata.hpp"
#include "dds_wire/ros_sertype.hpp"
#include "idl_conversions.hpp"

namespace
{

using dds_wire::QosMapping;
using dds_wire::WireQos;
using dds_wire_test::CycloneLoopback;

constexpr int peer_ok = 0;
constexpr int peer_wrong_scan = 1;
constexpr int peer_no_scan = 2;
constexpr int peer_no_ack = 3;

// The DDS names of the ROS topics, spelled out as an independent peer would know them.
constexpr char scan_topic[] = "rt/network_scan";
constexpr char echo_topic[] = "rt/network_scan_echo";
constexpr char info_topic[] = "rt/network_info";

// Reliable and transient local, so neither side depends on discovery finishing first.
const WireQos kLatched{
  WireQos::History::KeepLast, 1, WireQos::Reliability::Reliable,
  WireQos::Durability::TransientLocal};

sensor_msgs::msg::LaserScan big_scan()
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.frame_id = "ultrasonic_laser3";
  scan.header.stamp.sec = 77;
  for (int i = 0; i < 30000; ++i) {  // 120 kB of ranges: several UDP datagrams
    scan.ranges.push_back(static_cast<float>(i) * 0.25f);
  }
  scan.intensities = {1.0f};
  return scan;
}

// What the peer sends back, as its C sample does.
quorvex_protocol::msg::RobotInfoLevelZero bumper_pressed()
{
  quorvex_protocol::msg::RobotInfoLevelZero info;
  info.header.frame_id = "base";
  info.bumper_trig = true;
  return info;
}

// The idlc side, run in the child process: read the scan, echo it, answer with the robot info.
int run_idl_peer(uint32_t domain_id)
{
  CycloneLoopback dds(domain_id);
  const auto qos = QosMapping::to_dds(kLatched);
  const dds_entity_t scans = dds_create_topic(
    dds.participant(), &sensor_msgs_msg_dds__LaserScan__desc, scan_topic, nullptr, nullptr);
  const dds_entity_t scan_reader = dds_create_reader(dds.participant(), scans, qos.get(), nullptr);
  const dds_entity_t infos = dds_create_topic(
    dds.participant(), &quorvex_protocol_msg_dds__RobotInfoLevelZero__desc, info_topic,
    nullptr, nullptr);
  const dds_entity_t info_writer = dds_create_writer(dds.participant(), infos, qos.get(), nullptr);
  const dds_entity_t echoes = dds_create_topic(
    dds.participant(), &sensor_msgs_msg_dds__LaserScan__desc, echo_topic, nullptr, nullptr);
  const dds_entity_t echo_writer = dds_create_writer(dds.participant(), echoes, qos.get(), nullptr);

  if (!CycloneLoopback::wait_for_data(scan_reader) &&
    !CycloneLoopback::wait_for_data(scan_reader))
  {
    return peer_no_scan;
  }
  void * samples[1] = {nullptr};
  dds_sample_info_t info;
  if (dds_take(scan_reader, samples, &info, 1, 1) != 1) {
    return peer_no_scan;
  }
  const bool scan_matches =
    dds_wire_test::from_c(*static_cast<const sensor_msgs_msg_dds__LaserScan_ *>(samples[0])) ==
    big_scan();
  dds_write(echo_writer, samples[0]);
  dds_return_loan(scan_reader, samples, 1);

  const quorvex_protocol_msg_dds__RobotInfoLevelZero_ reply{{{0, 0}, const_cast<char *>("base")},
    true};
  dds_write(info_writer, &reply);
  if (dds_wait_for_acks(info_writer, DDS_SECS(10)) != DDS_RETCODE_OK ||
    dds_wait_for_acks(echo_writer, DDS_SECS(10)) != DDS_RETCODE_OK)
  {
    return peer_no_ack;
  }
  return scan_matches ? peer_ok : peer_wrong_scan;
}

// Waits (up to 20 s, discovery included) for one sample and decodes it with our sertype.
template<typename RosT>
void expect_received(dds_entity_t reader, const RosT & expected)
{
  bool received = false;
  for (int attempt = 0; attempt < 4 && !received; ++attempt) {
    received = CycloneLoopback::wait_for_data(reader);
  }
  ASSERT_TRUE(received) << "nothing from the peer process";
  ddsi_serdata * raw = nullptr;
  dds_sample_info_t info;
  ASSERT_EQ(dds_takecdr(reader, &raw, 1, &info, DDS_ANY_STATE), 1);
  RosT decoded;
  const auto result = dds_wire::RosSerdata::from(raw).deserialize(&decoded);
  ddsi_serdata_unref(raw);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(decoded, expected);
}

template<typename RosT>
dds_entity_t ros_topic(dds_entity_t participant, const std::string & name)
{
  ddsi_sertype * sertype = dds_wire::RosSertype::create(dds_wire_test::type_support_of<RosT>());
  return dds_create_topic_sertype(participant, name.c_str(), &sertype, nullptr, nullptr, nullptr);
}

TEST(RosSertypeNetwork, LargeScanOutAndBackAndRobotInfoAcrossProcesses)
{
  // Fork before this process touches DDS: Cyclone's threads do not survive a fork.
  const uint32_t domain_id = CycloneLoopback::unique_domain_id();
  const pid_t peer = fork();
  ASSERT_GE(peer, 0);
  if (peer == 0) {
    _exit(run_idl_peer(domain_id));
  }

  {
    CycloneLoopback dds(domain_id);
    const auto qos = QosMapping::to_dds(kLatched);
    const dds_entity_t scans =
      ros_topic<sensor_msgs::msg::LaserScan>(dds.participant(), scan_topic);
    const dds_entity_t echoes =
      ros_topic<sensor_msgs::msg::LaserScan>(dds.participant(), echo_topic);
    const dds_entity_t infos =
      ros_topic<quorvex_protocol::msg::RobotInfoLevelZero>(dds.participant(), info_topic);
    ASSERT_GT(scans, 0);
    ASSERT_GT(echoes, 0);
    ASSERT_GT(infos, 0);
    const dds_entity_t scan_writer =
      dds_create_writer(dds.participant(), scans, qos.get(), nullptr);
    const dds_entity_t echo_reader =
      dds_create_reader(dds.participant(), echoes, qos.get(), nullptr);
    const dds_entity_t info_reader =
      dds_create_reader(dds.participant(), infos, qos.get(), nullptr);

    const auto scan = big_scan();
    ASSERT_EQ(dds_write(scan_writer, &scan), DDS_RETCODE_OK);
    expect_received(echo_reader, scan);
    expect_received(info_reader, bumper_pressed());
  }

  int status = 0;
  ASSERT_EQ(waitpid(peer, &status, 0), peer);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), peer_ok)
    << "peer: 1 = scan differed, 2 = no scan arrived, 3 = reply not acknowledged";
}

}  // namespace
