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

// obsfeed_node, running as its own process, flooded with garbage by DDS peers that share no
// code with it: raw samples on every topic it reads and on the request topic of each of its
// parameter services. It must log and drop them all and keep serving: readings in, scans out,
// and a parameter set answered through ~/set_parameters, both spoken through C types that
// Cyclone's idlc generated from the ROS 2 IDL. (The scans' bytes: obsfeed's test_end_to_end and
// dds_wire's idlc tests; how one malformed sample is logged: rclcpp's test_dds_transport.)

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dds/dds.h"
#include "dds/ddsi/ddsi_serdata.h"
#include "dds_wire/ros_sertype.hpp"
#include "idl/obsfeed_wire_types.h"
#include "obsfeed_child_process/child_process.hpp"
#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

namespace
{

using obsfeed_child_process::ChildProcess;
using rosidl_typesupport_introspection_cpp::get_message_type_support_handle;

constexpr int kSensors = 3;  // the node's default device_pose
constexpr uint32_t kRangeOf200 = 0x3DCCDEBD;  // the scan's range for a reading of 200

uint32_t domain_id() {return 100u + static_cast<uint32_t>(getpid()) % 50u;}

dds_entity_t checked(dds_entity_t entity, const char * what)
{
  if (entity < 0) {
    throw std::runtime_error(std::string(what) + ": " + dds_strretcode(entity));
  }
  return entity;
}

/// Reliable keep-all, so the test never loses what it sends or receives.
dds_qos_t * reliable_qos()
{
  dds_qos_t * qos = dds_create_qos();
  dds_qset_reliability(qos, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
  dds_qset_history(qos, DDS_HISTORY_KEEP_ALL, 0);
  return qos;
}

/// `condition` came true within 30 seconds.
bool eventually(const std::function<bool()> & condition)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

/// `endpoint`, a reader or a writer, has matched the node's.
bool matched(dds_entity_t endpoint)
{
  dds_publication_matched_status_t writer{};
  dds_subscription_matched_status_t reader{};
  return (dds_get_publication_matched_status(endpoint, &writer) == DDS_RETCODE_OK &&
         writer.current_count == 1) ||
         (dds_get_subscription_matched_status(endpoint, &reader) == DDS_RETCODE_OK &&
         reader.current_count == 1);
}

/// Takes the next sample of `reader` (a loan, to be returned), waiting at most `timeout`.
bool take_next(dds_entity_t reader, void * samples[1], dds_duration_t timeout)
{
  const dds_entity_t waitset = dds_create_waitset(dds_get_participant(reader));
  const dds_entity_t condition = dds_create_readcondition(reader, DDS_ANY_STATE);
  dds_waitset_attach(waitset, condition, 0);
  const bool arrived = dds_waitset_wait(waitset, nullptr, 0, timeout) > 0;
  dds_delete(condition);
  dds_delete(waitset);
  dds_sample_info_t info;
  samples[0] = nullptr;
  if (!arrived || dds_take(reader, samples, &info, 1, 1) != 1) {
    return false;
  }
  if (!info.valid_data) {
    dds_return_loan(reader, samples, 1);
  }
  return info.valid_data;
}

/// The bits of the first range of the next scan on `reader`.
std::optional<uint32_t> next_range_bits(dds_entity_t reader, dds_duration_t timeout)
{
  void * samples[1];
  if (!take_next(reader, samples, timeout)) {
    return std::nullopt;
  }
  const auto & ranges = static_cast<const sensor_msgs_msg_dds__LaserScan_ *>(samples[0])->ranges;
  uint32_t bits = 0;
  if (ranges._length > 0) {
    std::memcpy(&bits, &ranges._buffer[0], sizeof bits);
  }
  dds_return_loan(reader, samples, 1);
  return bits;
}

/// Sets one double parameter through the node's ~/set_parameters; the reply's result.
std::pair<bool, std::string> set_double(dds_entity_t participant, const char * name, double value)
{
  dds_qos_t * qos = reliable_qos();
  const dds_entity_t writer = checked(
    dds_create_writer(
      participant, checked(
        dds_create_topic(
          participant, &rcl_interfaces_srv_dds__SetParameters_Request__desc,
          "rq/costmap_input/set_parametersRequest", nullptr, nullptr), "request topic"), qos,
      nullptr),
    "request writer");
  const dds_entity_t reader = checked(
    dds_create_reader(
      participant, checked(
        dds_create_topic(
          participant, &rcl_interfaces_srv_dds__SetParameters_Response__desc,
          "rr/costmap_input/set_parametersReply", nullptr, nullptr), "reply topic"), qos, nullptr),
    "reply reader");
  dds_delete_qos(qos);
  if (!eventually([&]() {return matched(writer) && matched(reader);})) {
    return {false, "no service"};
  }

  rcl_interfaces_msg_dds__Parameter_ parameter{};
  parameter.name = const_cast<char *>(name);
  parameter.value.type = 3;  // ParameterType.PARAMETER_DOUBLE
  parameter.value.double_value = value;
  parameter.value.string_value = const_cast<char *>("");
  rcl_interfaces_srv_dds__SetParameters_Request_ request{};
  request.client_guid = 0x0102030405060708u;
  request.sequence_number = 1;
  request.parameters._length = request.parameters._maximum = 1;
  request.parameters._buffer = &parameter;
  void * samples[1];
  if (dds_write(writer, &request) != DDS_RETCODE_OK || !take_next(reader, samples, DDS_SECS(30))) {
    return {false, "no reply"};
  }
  const auto & reply =
    *static_cast<const rcl_interfaces_srv_dds__SetParameters_Response_ *>(samples[0]);
  std::pair<bool, std::string> result{false, "reply to another call"};
  if (reply.client_guid == request.client_guid && reply.sequence_number == 1 &&
    reply.results._length == 1)
  {
    result = {reply.results._buffer[0].successful, reply.results._buffer[0].reason};
  }
  dds_return_loan(reader, samples, 1);
  return result;
}

/// Garbage for one topic: a classic CDR header followed by random bytes, some of them
/// announcing huge sequences. Whole 4-byte units, as every RTPS payload is: Cyclone's receiver
/// discards anything else unacknowledged, which stalls the writer that sent it, not the node.
std::vector<std::vector<uint8_t>> garbage(std::mt19937 & random, size_t count)
{
  std::vector<std::vector<uint8_t>> samples;
  for (size_t i = 0; i < count; ++i) {
    std::vector<uint8_t> bytes(4 * (1 + random() % 16));
    for (auto & byte : bytes) {
      byte = static_cast<uint8_t>(random());
    }
    std::fill(bytes.begin(), bytes.begin() + 4, 0);
    bytes[1] = 0x01;
    if (i % 4 == 0 && bytes.size() >= 8) {
      std::fill(bytes.begin() + 4, bytes.begin() + 8, 0xff);
    }
    samples.push_back(std::move(bytes));
  }
  return samples;
}

class NodeWire : public ::testing::Test
{
protected:
  void SetUp() override
  {
    // What Humble configures for ROS_LOCALHOST_ONLY=1, so the node (started with it) and we
    // find each other on loopback and nowhere else.
    domain_ = checked(
      dds_create_domain(
        domain_id(),
        "<CycloneDDS><Domain><General><Interfaces><NetworkInterface address=\"127.0.0.1\"/>"
        "</Interfaces></General></Domain></CycloneDDS>"), "domain");
    // Standard error too: the node logs through its own logger on one and through rcutils on
    // the other.
    node_ = std::make_unique<ChildProcess>(
      OBSFEED_NODE_PATH, std::vector<std::string>{}, std::map<std::string, std::string>{
        {"ROS_DOMAIN_ID", std::to_string(domain_id())}, {"ROS_LOCALHOST_ONLY", "1"}},
      obsfeed_child_process::ChildOutput::capturedWithErrors());

    participant_ = checked(dds_create_participant(domain_id(), nullptr, nullptr), "participant");
    dds_qos_t * qos = reliable_qos();
    readings_writer_ = checked(
      dds_create_writer(
        participant_, checked(
          dds_create_topic(
            participant_, &std_msgs_msg_dds__UInt16MultiArray__desc,
            "rt/quorvex_ultrasonic/original_ultrasonic", nullptr, nullptr), "readings topic"), qos,
        nullptr), "writer");
    for (int n = 1; n <= kSensors; ++n) {
      const std::string name = "rt/ultrasonic_laser" + std::to_string(n);
      scan_readers_.push_back(
        checked(
          dds_create_reader(
            participant_, checked(
              dds_create_topic(
                participant_, &sensor_msgs_msg_dds__LaserScan__desc, name.c_str(), nullptr,
                nullptr),
              "scan topic"), qos, nullptr), "reader"));
    }
    dds_delete_qos(qos);
    ASSERT_TRUE(
      eventually(
        [this]() {
          bool all = matched(readings_writer_);
          for (dds_entity_t reader : scan_readers_) {
            all = all && matched(reader);
          }
          return all;
        })) << node_->output();

    // Our readers having matched the node's writers says nothing about whether those writers
    // have matched our readers yet; until they have, the node's scans go to nobody. So send
    // warm-up readings until every scan topic has answered.
    std::vector<bool> answered(kSensors, false);
    ASSERT_TRUE(
      eventually(
        [&]() {
          send_readings({0, 0, 0});
          bool all = true;
          for (int i = 0; i < kSensors; ++i) {
            answered[i] = answered[i] || next_range_bits(scan_readers_[i], DDS_MSECS(500));
            all = all && answered[i];
          }
          return all;
        })) << node_->output();
  }

  void TearDown() override
  {
    dds_delete(domain_);
    if (node_) {
      node_->sendSignal(SIGINT);
      const int status = node_->waitForExit(std::chrono::seconds(30));
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    }
  }

  void send_readings(std::vector<uint16_t> values)
  {
    std_msgs_msg_dds__UInt16MultiArray_ sample{};
    sample.data._length = sample.data._maximum = static_cast<uint32_t>(values.size());
    sample.data._buffer = values.data();
    ASSERT_EQ(dds_write(readings_writer_, &sample), DDS_RETCODE_OK);
  }

  dds_entity_t domain_ = 0;
  std::unique_ptr<ChildProcess> node_;
  dds_entity_t participant_ = 0;
  dds_entity_t readings_writer_ = 0;
  std::vector<dds_entity_t> scan_readers_;
};

TEST_F(NodeWire, MalformedSamplesOnEveryInputAreDroppedAndTheNodeKeepsServing)
{
  const std::vector<std::pair<std::string, const rosidl_message_type_support_t *>> inputs{
    {"rt/quorvex_ultrasonic/original_ultrasonic",
      get_message_type_support_handle<std_msgs::msg::UInt16MultiArray>()},
    {"rt/robot_info_level_zero",
      get_message_type_support_handle<quorvex_protocol::msg::RobotInfoLevelZero>()},
    {"rq/costmap_input/get_parametersRequest",
      get_message_type_support_handle<rcl_interfaces::srv::GetParameters_Request>()},
    {"rq/costmap_input/get_parameter_typesRequest",
      get_message_type_support_handle<rcl_interfaces::srv::GetParameterTypes_Request>()},
    {"rq/costmap_input/set_parametersRequest",
      get_message_type_support_handle<rcl_interfaces::srv::SetParameters_Request>()},
    {"rq/costmap_input/set_parameters_atomicallyRequest",
      get_message_type_support_handle<rcl_interfaces::srv::SetParametersAtomically_Request>()},
    {"rq/costmap_input/describe_parametersRequest",
      get_message_type_support_handle<rcl_interfaces::srv::DescribeParameters_Request>()},
    {"rq/costmap_input/list_parametersRequest",
      get_message_type_support_handle<rcl_interfaces::srv::ListParameters_Request>()},
  };
  // Raw bytes need a sertype that takes them as they are; Cyclone allows one type per topic
  // name and participant, so they come from a participant of their own, as from another process.
  const dds_entity_t raw_participant =
    checked(dds_create_participant(domain_id(), nullptr, nullptr), "participant");
  std::vector<std::pair<ddsi_sertype *, dds_entity_t>> writers;
  dds_qos_t * qos = reliable_qos();
  for (const auto & [topic_name, type_support] : inputs) {
    ddsi_sertype * sertype = dds_wire::RosSertype::create(type_support);
    const dds_entity_t topic = checked(
      dds_create_topic_sertype(
        raw_participant, topic_name.c_str(), &sertype, nullptr, nullptr, nullptr), "raw topic");
    writers.emplace_back(
      sertype,
      checked(dds_create_writer(raw_participant, topic, qos, nullptr), "writer"));
  }
  dds_delete_qos(qos);
  for (const auto & [sertype, writer] : writers) {
    ASSERT_TRUE(eventually([writer = writer]() {return matched(writer);})) << node_->output();
  }

  std::mt19937 random(11);
  constexpr size_t kPerInput = 300;
  for (const auto & [sertype, writer] : writers) {
    for (const auto & bytes : garbage(random, kPerInput)) {
      ddsrt_iovec_t iov;
      iov.iov_base = const_cast<uint8_t *>(bytes.data());
      iov.iov_len = static_cast<ddsrt_iov_len_t>(bytes.size());
      ddsi_serdata * sample = ddsi_serdata_from_ser_iov(sertype, SDK_DATA, 1, &iov, bytes.size());
      ASSERT_EQ(dds_writecdr(writer, sample), DDS_RETCODE_OK);
    }
  }
  // Each input dropped at least some (a keep-last queue may have replaced the rest unread).
  for (const char * input :
    {"on /quorvex_ultrasonic/original_ultrasonic", "on /robot_info_level_zero",
      "on /costmap_input/set_parameters", "on /costmap_input/list_parameters"})
  {
    ASSERT_TRUE(
      node_->waitForOutput(
        input, 1,
        std::chrono::seconds(30))) << input << "\n" << node_->output();
  }

  // And it still serves: readings in, scans out (after any warm-up scan still queued), and a
  // parameter set answered.
  send_readings({200, 200, 200});
  for (dds_entity_t reader : scan_readers_) {
    std::optional<uint32_t> bits;
    do {
      bits = next_range_bits(reader, DDS_SECS(30));
    } while (bits && *bits != kRangeOf200);
    EXPECT_EQ(bits, kRangeOf200);
  }
  const auto accepted = set_double(participant_, "ultrasonic.hor_range_max", 0.3);
  EXPECT_TRUE(accepted.first) << accepted.second;
  // Dropped before the node saw them: its own check of a reading never ran.
  node_->readAvailable();
  EXPECT_EQ(node_->output().find("input data not match"), std::string::npos) << node_->output();
}

}  // namespace
