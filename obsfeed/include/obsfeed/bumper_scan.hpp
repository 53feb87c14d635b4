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

#ifndef OBSFEED__BUMPER_SCAN_HPP_
#define OBSFEED__BUMPER_SCAN_HPP_

#include <cstddef>
#include <cstdint>
#include <random>

#include "sensor_msgs/msg/laser_scan.hpp"

// The arc of returns that stands for a pressed bumper, kept free of any node so that it can
// be checked and benchmarked on its own.

namespace costmap_input
{

/// Beams of the arc: -36 deg up to +35.5 deg in half-degree steps (no beam at +36 deg).
constexpr std::size_t kBumperBeamCount = 144;
/// How far the stamp lies before the node time read while building the scan, in ns.
constexpr std::int64_t kBumperStampLagNanoseconds = 10'000'000;

/// One sector of the arc: beams [first_beam, first_beam + beam_count) draw from [near, far) m.
struct BumperSector
{
  std::size_t first_beam;
  std::size_t beam_count;
  double near;
  double far;
};

/// The three sectors in beam order; the centre reaches slightly farther than the sides.
constexpr BumperSector kBumperSectors[] = {
  {0, 15, 0.52, 0.57},
  {15, 114, 0.53, 0.63},
  {129, 15, 0.52, 0.57},
};

/// Fills every field of @p scan except the header, drawing the ranges from @p generator.
void fillBumperScan(std::mt19937 & generator, sensor_msgs::msg::LaserScan & scan);

/// The scan stamp for a node time of @p node_time_ns: 10 ms earlier, but never before the
/// epoch (a simulated clock reads 0 until its first message, and consumers reject negative
/// stamps).
std::int64_t bumperStampNanoseconds(std::int64_t node_time_ns);

}  // namespace costmap_input

#endif  // OBSFEED__BUMPER_SCAN_HPP_
