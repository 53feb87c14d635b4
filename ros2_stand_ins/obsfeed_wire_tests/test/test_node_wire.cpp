// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

// obsfeed_node, running as its own process, seen from a DDS peer that shares no code with it:
// endpoints of C types that Cyclone's idlc generated from the ROS 2 IDL, as any other Humble
// process on the robot's network would have. Readings go in, and every scan that comes back
// must decode through idlc's C type to the node's values. Raw malformed
// samples must leave the node logging, dropping and serving the next reading and answering a
// parameter set through ~/set_parameters. (Humble's own `ros2 param set` against this node:
// obsfeed_interop_tests.)

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dds/dds.h"
#include "dds/ddsi/ddsi_serdata.h"
#include "dds_wire/ros_sertype.hpp"
#include "obsfeed_wire_types.h"
#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"
#include "support/child_process.hpp"

namespace
{

using obsfeed_test::ChildProcess;

constexpr int kSensors = 3;  // the node's default device_pose
constexpr char kReadingsTopic[] = "rt/quorvex_ultrasonic/original_ultrasonic";
constexpr char kDroppedLine[] = "dropped a malformed sample";

uint32_t domain_id() {return 100u + static_cast<uint32_t>(getpid()) % 50u;}

/// Lines of the node's output so far that contain `text`.
size_t count_lines(ChildProcess & node, const std::string & text)
{
  node.readAvailable();
  const auto lines = node.outputLines();
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
    [&text](const std::string & line) {return line.find(text) != std::string::npos;}));
}

uint32_t bits_of(float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

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

/// One scan as the peer received it: idlc's decoding, and the raw bytes of the sample.
struct ReceivedScan
{
  sensor_msgs_msg_dds__LaserScan_ c_scan{};
  std::vector<uint8_t> bytes;

  ~ReceivedScan() {dds_sample_free(&c_scan, &sensor_msgs_msg_dds__LaserScan__desc, DDS_FREE_CONTENTS);}
};

class NodeWire : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    // What Humble configures for ROS_LOCALHOST_ONLY=1, so the node (started with it) and we
    // find each other on loopback and nowhere else.
    domain_ = dds_create_domain(
      domain_id(),
      "<CycloneDDS><Domain><General><Interfaces>"
      "<NetworkInterface address=\"127.0.0.1\"/>"
      "</Interfaces></General></Domain></CycloneDDS>");
    checked(domain_, "domain");
  }

  static void TearDownTestSuite() {dds_delete(domain_);}

  void SetUp() override
  {
    // Standard error too: the node logs through its own logger on one and through rcutils on
    // the other.
    node_ = std::make_unique<ChildProcess>(
      OBSFEED_NODE_PATH, std::vector<std::string>{}, std::map<std::string, std::string>{
        {"ROS_DOMAIN_ID", std::to_string(domain_id())}, {"ROS_LOCALHOST_ONLY", "1"}}, true);

    participant_ = checked(dds_create_participant(domain_id(), nullptr, nullptr), "participant");
    dds_qos_t * qos = reliable_qos();
    const dds_entity_t readings_topic = checked(
      dds_create_topic(
        participant_, &std_msgs_msg_dds__UInt16MultiArray__desc, kReadingsTopic, nullptr, nullptr),
      "readings topic");
    readings_writer_ = checked(dds_create_writer(participant_, readings_topic, qos, nullptr), "writer");
    for (int n = 1; n <= kSensors; ++n) {
      const std::string name = "rt/ultrasonic_laser" + std::to_string(n);
      const dds_entity_t topic = checked(
        dds_create_topic(participant_, &sensor_msgs_msg_dds__LaserScan__desc, name.c_str(), nullptr, nullptr),
        "scan topic");
      scan_readers_.push_back(checked(dds_create_reader(participant_, topic, qos, nullptr), "reader"));
    }

    // Raw bytes need a sertype that takes them as they are; Cyclone allows one type per topic
    // name and participant, so it gets a participant of its own, as another process would be.
    raw_participant_ = checked(dds_create_participant(domain_id(), nullptr, nullptr), "participant");
    raw_sertype_ = dds_wire::RosSertype::create(
      rosidl_typesupport_introspection_cpp::get_message_type_support_handle<
        std_msgs::msg::UInt16MultiArray>());
    const dds_entity_t raw_topic = checked(
      dds_create_topic_sertype(raw_participant_, kReadingsTopic, &raw_sertype_, nullptr, nullptr, nullptr),
      "raw topic");
    raw_writer_ = checked(dds_create_writer(raw_participant_, raw_topic, qos, nullptr), "raw writer");
    dds_delete_qos(qos);

    ASSERT_TRUE(connected()) << node_->output();
    ASSERT_TRUE(answersOnEveryTopic()) << node_->output();
  }

  void TearDown() override
  {
    dds_delete(raw_participant_);
    dds_delete(participant_);
    if (node_) {
      node_->sendSignal(SIGINT);
      const int status = node_->waitForExit(std::chrono::seconds(30));
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    }
  }

  /// `writer` matched with the node's reader; false after 30 seconds.
  static bool wait_for_match(dds_entity_t writer)
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      dds_publication_matched_status_t status{};
      dds_get_publication_matched_status(writer, &status);
      if (status.current_count == 1) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  /// Every endpoint matched with the node's: nothing sent before that could be lost.
  bool connected() const
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      bool all = true;
      for (dds_entity_t writer : {readings_writer_, raw_writer_}) {
        dds_publication_matched_status_t status{};
        dds_get_publication_matched_status(writer, &status);
        all = all && status.current_count == 1;
      }
      for (dds_entity_t reader : scan_readers_) {
        dds_subscription_matched_status_t status{};
        dds_get_subscription_matched_status(reader, &status);
        all = all && status.current_count == 1;
      }
      if (all) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  void send_readings(std::vector<uint16_t> values)
  {
    std_msgs_msg_dds__UInt16MultiArray_ sample{};
    sample.data._length = sample.data._maximum = static_cast<uint32_t>(values.size());
    sample.data._buffer = values.data();
    ASSERT_EQ(dds_write(readings_writer_, &sample), DDS_RETCODE_OK);
  }

  void send_raw(const std::vector<uint8_t> & bytes)
  {
    ddsrt_iovec_t iov;
    iov.iov_base = const_cast<uint8_t *>(bytes.data());
    iov.iov_len = static_cast<ddsrt_iov_len_t>(bytes.size());
    ddsi_serdata * sample = ddsi_serdata_from_ser_iov(raw_sertype_, SDK_DATA, 1, &iov, bytes.size());
    ASSERT_EQ(dds_writecdr(raw_writer_, sample), DDS_RETCODE_OK);
  }

  /// Our readers having matched the node's writers says nothing about whether those writers
  /// have matched our readers yet; until they have, the node's scans go to nobody. So send
  /// warm-up readings until every scan topic has answered. Every scan of a test's own readings
  /// is stamped after that; a warm-up scan still on its way is stamped before and skipped.
  bool answersOnEveryTopic()
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::vector<bool> answered(scan_readers_.size(), false);
    while (std::chrono::steady_clock::now() < deadline) {
      send_readings(std::vector<uint16_t>(kSensors, 0));
      bool all = true;
      for (std::size_t i = 0; i < scan_readers_.size(); ++i) {
        ReceivedScan scan;
        answered[i] = answered[i] || take_next(scan_readers_[i], scan, DDS_MSECS(500));
        all = all && answered[i];
      }
      if (all) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        first_stamp_ns_ = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
        return true;
      }
    }
    return false;
  }

  /// The next scan on `reader` from a test's own readings, within 30 seconds.
  bool receive(dds_entity_t reader, ReceivedScan & scan) const
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      ReceivedScan candidate;
      if (!take_next(reader, candidate, DDS_SECS(30))) {
        return false;
      }
      const auto & stamp = candidate.c_scan.header.stamp;
      if (static_cast<int64_t>(stamp.sec) * 1000000000 + stamp.nanosec >= first_stamp_ns_) {
        std::swap(scan.c_scan, candidate.c_scan);
        std::swap(scan.bytes, candidate.bytes);
        return true;
      }
    }
    return false;
  }

  /// The next scan on `reader`, waiting at most `timeout`.
  static bool take_next(dds_entity_t reader, ReceivedScan & scan, dds_duration_t timeout)
  {
    const dds_entity_t waitset = dds_create_waitset(dds_get_participant(reader));
    const dds_entity_t condition = dds_create_readcondition(reader, DDS_ANY_STATE);
    dds_waitset_attach(waitset, condition, 0);
    const bool arrived = dds_waitset_wait(waitset, nullptr, 0, timeout) > 0;
    dds_delete(condition);
    dds_delete(waitset);
    ddsi_serdata * sample = nullptr;
    dds_sample_info_t info;
    if (!arrived || dds_takecdr(reader, &sample, 1, &info, DDS_ANY_STATE) != 1) {
      return false;
    }
    const bool decoded = ddsi_serdata_to_sample(sample, &scan.c_scan, nullptr, nullptr);
    scan.bytes.resize(ddsi_serdata_size(sample));
    ddsi_serdata_to_ser(sample, 0, scan.bytes.size(), scan.bytes.data());
    ddsi_serdata_unref(sample);
    return decoded;
  }

  static dds_entity_t domain_;
  std::unique_ptr<ChildProcess> node_;
  dds_entity_t participant_ = 0;
  dds_entity_t readings_writer_ = 0;
  std::vector<dds_entity_t> scan_readers_;
  dds_entity_t raw_participant_ = 0;
  ddsi_sertype * raw_sertype_ = nullptr;
  dds_entity_t raw_writer_ = 0;
  int64_t first_stamp_ns_ = 0;
};

dds_entity_t NodeWire::domain_ = 0;

TEST_F(NodeWire, ScansArriveAsClassicCdrThatIdlcDecodes)
{
  send_readings({100, 0xFFFF, 200});
  const uint32_t expected_range_bits[kSensors] = {0x3D4CDEBD, 0x40200E04, 0x3DCCDEBD};

  for (int n = 1; n <= kSensors; ++n) {
    SCOPED_TRACE("ultrasonic_laser" + std::to_string(n));
    ReceivedScan received;
    ASSERT_TRUE(receive(scan_readers_[n - 1], received));
    const auto & c = received.c_scan;

    // Classic little-endian CDR, as Humble sends it.
    ASSERT_GE(received.bytes.size(), 4u);
    EXPECT_EQ(received.bytes[0], 0x00);
    EXPECT_EQ(received.bytes[1], 0x01);

    // The values are the node's, read through idlc alone (our own deserializer is held to
    // idlc's for every message type by dds_wire's tests).
    EXPECT_STREQ(c.header.frame_id, ("ultrasonic_0" + std::to_string(n) + "_link").c_str());
    EXPECT_EQ(bits_of(c.angle_max), 0x3E5F7CEEu);
    EXPECT_EQ(bits_of(c.range_max), bits_of(0.2f));
    ASSERT_EQ(c.ranges._length, 100u);
    EXPECT_EQ(bits_of(c.ranges._buffer[0]), expected_range_bits[n - 1]);
    EXPECT_EQ(bits_of(c.ranges._buffer[99]), expected_range_bits[n - 1]);
    EXPECT_EQ(c.intensities._length, 0u);
  }
}

/// ~/set_parameters of the running node, called through idlc's C types alone.
class SetParametersClient
{
public:
  explicit SetParametersClient(dds_entity_t participant)
  {
    dds_qos_t * qos = reliable_qos();
    const dds_entity_t request_topic = checked(
      dds_create_topic(
        participant, &rcl_interfaces_srv_dds__SetParameters_Request__desc,
        "rq/costmap_input/set_parametersRequest", nullptr, nullptr),
      "request topic");
    writer_ = checked(dds_create_writer(participant, request_topic, qos, nullptr), "request writer");
    const dds_entity_t reply_topic = checked(
      dds_create_topic(
        participant, &rcl_interfaces_srv_dds__SetParameters_Response__desc,
        "rr/costmap_input/set_parametersReply", nullptr, nullptr),
      "reply topic");
    reader_ = checked(dds_create_reader(participant, reply_topic, qos, nullptr), "reply reader");
    dds_delete_qos(qos);
  }

  bool wait_for_service() const
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      dds_publication_matched_status_t requests{};
      dds_subscription_matched_status_t replies{};
      dds_get_publication_matched_status(writer_, &requests);
      dds_get_subscription_matched_status(reader_, &replies);
      if (requests.current_count == 1 && replies.current_count == 1) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  /// Sets one double parameter; the reply's result, or successful=false with "no reply".
  std::pair<bool, std::string> set_double(const std::string & name, double value)
  {
    rcl_interfaces_msg_dds__Parameter_ parameter{};
    parameter.name = const_cast<char *>(name.c_str());
    parameter.value.type = 3;  // ParameterType.PARAMETER_DOUBLE
    parameter.value.double_value = value;
    parameter.value.string_value = const_cast<char *>("");
    rcl_interfaces_srv_dds__SetParameters_Request_ request{};
    request.client_guid = 0x0102030405060708u;
    request.sequence_number = ++sequence_number_;
    request.parameters._length = request.parameters._maximum = 1;
    request.parameters._buffer = &parameter;
    if (dds_write(writer_, &request) != DDS_RETCODE_OK) {
      return {false, "not sent"};
    }

    const dds_entity_t waitset = dds_create_waitset(dds_get_participant(reader_));
    const dds_entity_t condition = dds_create_readcondition(reader_, DDS_ANY_STATE);
    dds_waitset_attach(waitset, condition, 0);
    const bool arrived = dds_waitset_wait(waitset, nullptr, 0, DDS_SECS(30)) > 0;
    dds_delete(condition);
    dds_delete(waitset);
    rcl_interfaces_srv_dds__SetParameters_Response_ reply{};
    void * samples[1] = {&reply};
    dds_sample_info_t info;
    if (!arrived || dds_take(reader_, samples, &info, 1, 1) != 1 || !info.valid_data) {
      return {false, "no reply"};
    }
    std::pair<bool, std::string> result{false, "reply to another call"};
    if (reply.client_guid == request.client_guid &&
      reply.sequence_number == request.sequence_number && reply.results._length == 1)
    {
      result = {reply.results._buffer[0].successful, reply.results._buffer[0].reason};
    }
    dds_sample_free(&reply, &rcl_interfaces_srv_dds__SetParameters_Response__desc, DDS_FREE_CONTENTS);
    return result;
  }

private:
  dds_entity_t writer_ = 0;
  dds_entity_t reader_ = 0;
  int64_t sequence_number_ = 0;
};

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

TEST_F(NodeWire, MalformedSamplesOnEveryInputAreDroppedAndTheNodeKeepsServing)
{
  const std::vector<std::vector<uint8_t>> malformed = {
    {0x00, 0x01, 0x00, 0x00},  // header only
    {0x00, 0x01, 0x00, 0x00, 0x00, 0x00},  // cut inside the dimension count
    // One dimension whose label length runs past the end.
    {0x00, 0x01, 0x00, 0x00, 1, 0, 0, 0, 0xf0, 0xff, 0xff, 0x7f, 'l', 'a', 'b', 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    // No dimensions, offset 0, then 4294967295 readings.
    {0x00, 0x01, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0x64, 0x00},
    // Three readings announced, two sent.
    {0x00, 0x01, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0x64, 0x00, 0x64, 0x00},
    {0x00, 0x07, 0x00, 0x00, 0, 0, 0, 0},  // an encapsulation nobody defined
  };
  // The node keeps only the latest reading, so each must be taken before the next is sent.
  for (size_t i = 0; i < malformed.size(); ++i) {
    SCOPED_TRACE(i);
    send_raw(malformed[i]);
    ASSERT_TRUE(node_->waitForOutput(kDroppedLine, i + 1, std::chrono::seconds(30))) << node_->output();
  }
  node_->readAvailable();
  const std::string output = node_->output();
  EXPECT_EQ(count_lines(*node_, kDroppedLine), malformed.size()) << output;
  EXPECT_EQ(count_lines(*node_, "/quorvex_ultrasonic/original_ultrasonic"), malformed.size()) << output;
  EXPECT_NE(output.find("data: sequence length 4294967295 exceeds"), std::string::npos) << output;
  // Dropped before the node saw them: its own check never ran.
  EXPECT_EQ(count_lines(*node_, "input data not match"), 0u) << output;


  // Then a flood of them on every topic the node reads, and on the request topic of each of its
  // parameter services.
  const std::vector<std::pair<std::string, const rosidl_message_type_support_t *>> inputs{
    {"rt/robot_info_level_zero", rosidl_typesupport_introspection_cpp::
      get_message_type_support_handle<quorvex_protocol::msg::RobotInfoLevelZero>()},
    {"rq/costmap_input/get_parametersRequest", rosidl_typesupport_introspection_cpp::
      get_message_type_support_handle<rcl_interfaces::srv::GetParameters_Request>()},
    {"rq/costmap_input/get_parameter_typesRequest", rosidl_typesupport_introspection_cpp::
      get_message_type_support_handle<rcl_interfaces::srv::GetParameterTypes_Request>()},
    {"rq/costmap_input/set_parametersRequest", rosidl_typesupport_introspection_cpp::
      get_message_type_support_handle<rcl_interfaces::srv::SetParameters_Request>()},
    {"rq/costmap_input/set_parameters_atomicallyRequest", rosidl_typesupport_introspection_cpp::
      get_message_type_support_handle<rcl_interfaces::srv::SetParametersAtomically_Request>()},
    {"rq/costmap_input/describe_parametersRequest", rosidl_typesupport_introspection_cpp::
      get_message_type_support_handle<rcl_interfaces::srv::DescribeParameters_Request>()},
    {"rq/costmap_input/list_parametersRequest", rosidl_typesupport_introspection_cpp::
      get_message_type_support_handle<rcl_interfaces::srv::ListParameters_Request>()},
  };
  std::vector<std::pair<ddsi_sertype *, dds_entity_t>> writers{{raw_sertype_, raw_writer_}};
  dds_qos_t * qos = reliable_qos();
  for (const auto & [topic_name, type_support] : inputs) {
    ddsi_sertype * sertype = dds_wire::RosSertype::create(type_support);
    const dds_entity_t topic = checked(
      dds_create_topic_sertype(raw_participant_, topic_name.c_str(), &sertype, nullptr, nullptr, nullptr),
      "raw topic");
    writers.emplace_back(sertype, checked(dds_create_writer(raw_participant_, topic, qos, nullptr), "writer"));
  }
  dds_delete_qos(qos);
  for (const auto & [sertype, writer] : writers) {
    ASSERT_TRUE(wait_for_match(writer)) << node_->output();
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
  for (const char * input : {"on /quorvex_ultrasonic/original_ultrasonic", "on /robot_info_level_zero",
      "on /costmap_input/set_parameters", "on /costmap_input/list_parameters"})
  {
    ASSERT_TRUE(node_->waitForOutput(input, 1, std::chrono::seconds(30))) << input << "\n" << node_->output();
  }

  // And it still serves: readings in, scans out, and a parameter set answered.
  send_readings({200, 200, 200});
  for (int n = 1; n <= kSensors; ++n) {
    ReceivedScan received;
    ASSERT_TRUE(receive(scan_readers_[n - 1], received)) << n;
    EXPECT_EQ(bits_of(received.c_scan.ranges._buffer[0]), 0x3DCCDEBDu);
  }
  SetParametersClient client(participant_);
  ASSERT_TRUE(client.wait_for_service());
  const auto accepted = client.set_double("ultrasonic.hor_range_max", 0.3);
  EXPECT_TRUE(accepted.first) << accepted.second;
  EXPECT_EQ(count_lines(*node_, "input data not match"), 0u);
}

}  // namespace
