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

#include "obsfeed_benchmarks/floor_responder.hpp"

#include <time.h>

#include <cstdint>
#include <stdexcept>

#include "idl/obsfeed_bench_types.h"
#include "obsfeed_benchmarks/loopback_participant.hpp"
#include "obsfeed_benchmarks/reading_tag.hpp"

namespace obsfeed_benchmarks
{

namespace
{

// The node's scan geometry with its default parameters: 100 rays for a horizontal sensor,
// 144 for the bumper arc.
constexpr size_t kUltrasonicRays = 100;
constexpr size_t kBumperRays = 144;

dds_entity_t create_topic(
  dds_entity_t participant, const dds_topic_descriptor_t * type, const std::string & name)
{
  return LoopbackParticipant::checked(
    dds_create_topic(participant, type, name.c_str(), nullptr, nullptr), name.c_str());
}

builtin_interfaces_msg_dds__Time_ system_time(int64_t offset_ns = 0)
{
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const int64_t ns = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec + offset_ns;
  return {static_cast<int32_t>(ns / 1000000000), static_cast<uint32_t>(ns % 1000000000)};
}

/// Takes the oldest sample of `reader` and hands it to `answer` if it carries data.
template<typename SampleT, typename AnswerT>
void take_one(dds_entity_t reader, AnswerT answer)
{
  void * sample = nullptr;
  dds_sample_info_t info;
  if (dds_take(reader, &sample, &info, 1, 1) != 1) {
    return;
  }
  if (info.valid_data) {
    answer(*static_cast<const SampleT *>(sample));
  }
  dds_return_loan(reader, &sample, 1);
}

dds_sequence_float float_sequence(std::vector<float> & values)
{
  dds_sequence_float sequence{};
  sequence._length = sequence._maximum = static_cast<uint32_t>(values.size());
  sequence._buffer = values.data();
  return sequence;
}

}  // namespace

FloorResponder::FloorResponder(dds_entity_t participant, size_t sensors)
: ranges_(kUltrasonicRays), bumper_ranges_(kBumperRays), bumper_intensities_(kBumperRays, 0.0f),
  generator_(std::random_device{}())
{
  // The node's QoS: keep last 1, reliable, volatile, on every endpoint.
  dds_qos_t * qos = dds_create_qos();
  dds_qset_reliability(qos, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
  dds_qset_history(qos, DDS_HISTORY_KEEP_LAST, 1);

  readings_reader_ = LoopbackParticipant::checked(
    dds_create_reader(
      participant,
      create_topic(
        participant, &std_msgs_msg_dds__UInt16MultiArray__desc,
        "rt/quorvex_ultrasonic/original_ultrasonic"),
      qos, nullptr),
    "readings reader");
  bumper_reader_ = LoopbackParticipant::checked(
    dds_create_reader(
      participant,
      create_topic(
        participant, &quorvex_protocol_msg_dds__RobotInfoLevelZero__desc,
        "rt/robot_info_level_zero"),
      qos, nullptr),
    "bumper reader");
  for (size_t n = 1; n <= sensors; ++n) {
    const std::string name = "rt/ultrasonic_laser" + std::to_string(n);
    scan_writers_.push_back(
      LoopbackParticipant::checked(
        dds_create_writer(
          participant, create_topic(participant, &sensor_msgs_msg_dds__LaserScan__desc, name), qos,
          nullptr),
        "scan writer"));
    frame_ids_.push_back("ultrasonic_0" + std::to_string(n) + "_link");
  }
  bumper_writer_ = LoopbackParticipant::checked(
    dds_create_writer(
      participant,
      create_topic(participant, &sensor_msgs_msg_dds__LaserScan__desc, "rt/bumper_laser"),
      qos, nullptr),
    "bumper writer");
  dds_delete_qos(qos);

  readings_arrived_ = dds_create_readcondition(readings_reader_, DDS_ANY_STATE);
  bumper_arrived_ = dds_create_readcondition(bumper_reader_, DDS_ANY_STATE);
  stop_guard_ = dds_create_guardcondition(participant);
  waitset_ = LoopbackParticipant::checked(dds_create_waitset(participant), "waitset");
  dds_waitset_attach(waitset_, readings_arrived_, readings_arrived_);
  dds_waitset_attach(waitset_, bumper_arrived_, bumper_arrived_);
  dds_waitset_attach(waitset_, stop_guard_, stop_guard_);
}

FloorResponder::~FloorResponder()
{
  dds_delete(waitset_);
}

void FloorResponder::stop()
{
  dds_set_guardcondition(stop_guard_, true);
}

void FloorResponder::run()
{
  while (true) {
    dds_attach_t triggered[3];
    const dds_return_t count = dds_waitset_wait(waitset_, triggered, 3, DDS_INFINITY);
    for (dds_return_t i = 0; i < count; ++i) {
      if (triggered[i] == static_cast<dds_attach_t>(stop_guard_)) {
        return;
      }
      if (triggered[i] == static_cast<dds_attach_t>(readings_arrived_)) {
        take_one<std_msgs_msg_dds__UInt16MultiArray_>(
          readings_reader_, [this](const auto & readings) {answer_readings(readings);});
      } else {
        take_one<quorvex_protocol_msg_dds__RobotInfoLevelZero_>(
          bumper_reader_, [this](const auto & status) {answer_bumper(status);});
      }
    }
  }
}

void FloorResponder::answer_readings(const std_msgs_msg_dds__UInt16MultiArray_ & readings)
{
  if (readings.data._length != scan_writers_.size()) {
    return;
  }
  sensor_msgs_msg_dds__LaserScan_ scan{};
  scan.angle_min = -0.21825f;
  scan.angle_max = 0.21825f;
  scan.angle_increment = 0.0043633231f;
  scan.time_increment = 3.6111142e-05f;
  scan.scan_time = 0.06500006f;
  scan.range_min = 0.01f;
  scan.range_max = static_cast<float>(ReadingTag::range_max_metres);
  for (size_t i = 0; i < scan_writers_.size(); ++i) {
    scan.header.stamp = system_time();
    scan.header.frame_id = frame_ids_[i].data();
    ranges_.assign(kUltrasonicRays, ReadingTag::range_for(readings.data._buffer[i]));
    scan.ranges = float_sequence(ranges_);
    dds_write(scan_writers_[i], &scan);
  }
}

void FloorResponder::answer_bumper(const quorvex_protocol_msg_dds__RobotInfoLevelZero_ & status)
{
  if (!status.bumper_trig) {
    return;
  }
  sensor_msgs_msg_dds__LaserScan_ scan{};
  scan.header.stamp = system_time(-10000000);
  scan.header.frame_id = const_cast<char *>("base_footprint");
  scan.angle_min = -0.62831855f;
  scan.angle_max = 0.62831855f;
  scan.angle_increment = 0.0087266462f;
  scan.range_max = 1.0f;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (size_t beam = 0; beam < kBumperRays; ++beam) {
    const bool side = beam < 15 || beam >= 129;
    const double near = side ? 0.52 : 0.53;
    const double far = side ? 0.57 : 0.63;
    bumper_ranges_[beam] = static_cast<float>(near + (far - near) * unit(generator_));
  }
  scan.ranges = float_sequence(bumper_ranges_);
  scan.intensities = float_sequence(bumper_intensities_);
  dds_write(bumper_writer_, &scan);
}

}  // namespace obsfeed_benchmarks
