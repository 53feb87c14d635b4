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

#include "obsfeed_benchmarks/scan_peer.hpp"

#include <stdexcept>
#include <string>
#include <thread>

#include "idl/obsfeed_bench_types.h"
#include "obsfeed_benchmarks/loopback_participant.hpp"
#include "obsfeed_benchmarks/reading_tag.hpp"

namespace obsfeed_benchmarks
{

namespace
{

constexpr char kReadingsTopic[] = "rt/quorvex_ultrasonic/original_ultrasonic";
constexpr char kBumperTopic[] = "rt/robot_info_level_zero";
constexpr size_t kTakeBatch = 16;

dds_entity_t create_topic(
  dds_entity_t participant, const dds_topic_descriptor_t * type, const std::string & name)
{
  return LoopbackParticipant::checked(
    dds_create_topic(participant, type, name.c_str(), nullptr, nullptr), name.c_str());
}

void check_write(dds_return_t result, const char * what)
{
  if (result != DDS_RETCODE_OK) {
    throw std::runtime_error(std::string("cannot send ") + what + ": " + dds_strretcode(result));
  }
}

}  // namespace

ScanPeer::ScanPeer(dds_entity_t participant, size_t sensors)
{
  dds_qos_t * qos = dds_create_qos();
  dds_qset_reliability(qos, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
  dds_qset_history(qos, DDS_HISTORY_KEEP_ALL, 0);

  readings_writer_ = LoopbackParticipant::checked(
    dds_create_writer(
      participant,
      create_topic(participant, &std_msgs_msg_dds__UInt16MultiArray__desc, kReadingsTopic),
      qos, nullptr),
    "readings writer");
  bumper_writer_ = LoopbackParticipant::checked(
    dds_create_writer(
      participant,
      create_topic(participant, &quorvex_protocol_msg_dds__RobotInfoLevelZero__desc, kBumperTopic),
      qos, nullptr),
    "bumper writer");

  waitset_ = LoopbackParticipant::checked(dds_create_waitset(participant), "waitset");
  for (size_t n = 1; n <= sensors + 1; ++n) {
    const std::string name =
      n <= sensors ? "rt/ultrasonic_laser" + std::to_string(n) : "rt/bumper_laser";
    const dds_entity_t reader = LoopbackParticipant::checked(
      dds_create_reader(
        participant, create_topic(participant, &sensor_msgs_msg_dds__LaserScan__desc, name), qos,
        nullptr),
      "scan reader");
    const dds_entity_t arrived =
      LoopbackParticipant::checked(
      dds_create_readcondition(reader, DDS_ANY_STATE),
      "read condition");
    dds_waitset_attach(waitset_, arrived, static_cast<dds_attach_t>(scan_readers_.size()));
    scan_readers_.push_back(reader);
  }
  dds_delete_qos(qos);
  readings_.resize(sensors);
}

ScanPeer::~ScanPeer()
{
  dds_delete(waitset_);
}

bool ScanPeer::wait_until_matched(std::chrono::milliseconds timeout) const
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    bool all = true;
    for (dds_entity_t writer : {readings_writer_, bumper_writer_}) {
      dds_publication_matched_status_t status{};
      dds_get_publication_matched_status(writer, &status);
      all = all && status.current_count > 0;
    }
    for (dds_entity_t reader : scan_readers_) {
      dds_subscription_matched_status_t status{};
      dds_get_subscription_matched_status(reader, &status);
      all = all && status.current_count > 0;
    }
    if (all) {
      return true;
    }
    // Discovery raises no event a plain program can wait on for all of these at once.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void ScanPeer::send_readings(uint16_t reading)
{
  readings_.assign(readings_.size(), reading);
  std_msgs_msg_dds__UInt16MultiArray_ sample{};
  sample.data._length = sample.data._maximum = static_cast<uint32_t>(readings_.size());
  sample.data._buffer = readings_.data();
  check_write(dds_write(readings_writer_, &sample), "readings");
}

void ScanPeer::send_bumper_contact()
{
  quorvex_protocol_msg_dds__RobotInfoLevelZero_ sample{};
  sample.header.frame_id = const_cast<char *>("");
  sample.bumper_trig = true;
  check_write(dds_write(bumper_writer_, &sample), "bumper contact");
}

bool ScanPeer::receive(std::chrono::nanoseconds timeout, const ScanHandler & on_scan)
{
  std::vector<dds_attach_t> triggered(scan_readers_.size());
  const dds_return_t count = dds_waitset_wait(
    waitset_, triggered.data(), triggered.size(), static_cast<dds_duration_t>(timeout.count()));
  bool received = false;
  for (dds_return_t i = 0; i < count; ++i) {
    const auto topic = static_cast<size_t>(triggered[static_cast<size_t>(i)]);
    void * samples[kTakeBatch] = {};
    dds_sample_info_t infos[kTakeBatch];
    const dds_return_t taken =
      dds_take(scan_readers_[topic], samples, infos, kTakeBatch, kTakeBatch);
    for (dds_return_t s = 0; s < taken; ++s) {
      if (!infos[s].valid_data) {
        continue;
      }
      const auto * scan = static_cast<const sensor_msgs_msg_dds__LaserScan_ *>(samples[s]);
      const uint16_t reading = topic != bumper_topic() && scan->ranges._length > 0 ?
        ReadingTag::reading_of(scan->ranges._buffer[0]) : 0;
      on_scan(topic, reading);
      received = true;
    }
    if (taken > 0) {
      dds_return_loan(scan_readers_[topic], samples, taken);
    }
  }
  return received;
}

}  // namespace obsfeed_benchmarks
