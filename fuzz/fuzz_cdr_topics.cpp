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

// Samples on every topic obsfeed_node reads: the first byte picks the topic, the rest is the
// sample as it arrives from DDS (encapsulation header included).

#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"
#include "wire_round_trip.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  if (size == 0) {
    return 0;
  }
  switch (data[0] % 3) {
    case 0:  // /quorvex_ultrasonic/original_ultrasonic
      obsfeed_fuzz::decodeTopicSample<std_msgs::msg::UInt16MultiArray>(data + 1, size - 1);
      break;
    case 1:  // /robot_info_level_zero
      obsfeed_fuzz::decodeTopicSample<quorvex_protocol::msg::RobotInfoLevelZero>(
        data + 1,
        size - 1);
      break;
    default:  // /clock, read while use_sim_time is true
      obsfeed_fuzz::decodeTopicSample<rosgraph_msgs::msg::Clock>(data + 1, size - 1);
      break;
  }
  return 0;
}
