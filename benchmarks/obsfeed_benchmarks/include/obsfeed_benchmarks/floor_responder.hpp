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

#ifndef OBSFEED_BENCHMARKS__FLOOR_RESPONDER_HPP_
#define OBSFEED_BENCHMARKS__FLOOR_RESPONDER_HPP_

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "dds/dds.h"
#include "idl/obsfeed_bench_types.h"

namespace obsfeed_benchmarks
{

/// The floor: answers readings and bumper contacts as obsfeed_node does (same topics, types,
/// QoS, scan sizes and range values) from a plain Cyclone DDS program, with no client library
/// in between. What it costs is what moving the data costs.
///
/// Like any ROS 2 executor it waits on a wait set and answers on its own thread, not on
/// Cyclone's receive thread.
class FloorResponder
{
public:
  /// Endpoints for `sensors` horizontal sensors and the bumper.
  FloorResponder(dds_entity_t participant, size_t sensors);
  ~FloorResponder();

  FloorResponder(const FloorResponder &) = delete;
  FloorResponder & operator=(const FloorResponder &) = delete;

  /// Answers until stop().
  void run();
  /// May be called from any thread.
  void stop();

private:
  void answer_readings(const std_msgs_msg_dds__UInt16MultiArray_ & readings);
  void answer_bumper(const quorvex_protocol_msg_dds__RobotInfoLevelZero_ & status);

  dds_entity_t readings_reader_;
  dds_entity_t bumper_reader_;
  std::vector<dds_entity_t> scan_writers_;
  dds_entity_t bumper_writer_;
  dds_entity_t readings_arrived_;
  dds_entity_t bumper_arrived_;
  dds_entity_t stop_guard_;
  dds_entity_t waitset_;
  std::vector<std::string> frame_ids_;
  std::vector<float> ranges_;
  std::vector<float> bumper_ranges_;
  std::vector<float> bumper_intensities_;
  std::mt19937 generator_;
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__FLOOR_RESPONDER_HPP_
