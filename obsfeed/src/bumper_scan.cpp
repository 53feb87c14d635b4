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

#include "obsfeed/bumper_scan.hpp"

#include <algorithm>
#include <cmath>

namespace costmap_input
{

void fillBumperScan(std::mt19937 & generator, sensor_msgs::msg::LaserScan & scan)
{
  scan.angle_min = static_cast<float>(-M_PI / 5.0);
  scan.angle_max = static_cast<float>(M_PI / 5.0);
  scan.angle_increment = static_cast<float>(M_PI / 360.0);
  scan.time_increment = 0.0f;
  scan.scan_time = 0.0f;
  scan.range_min = 0.0f;
  scan.range_max = 1.0f;
  scan.ranges.assign(kBumperBeamCount, 0.0f);
  scan.intensities.assign(kBumperBeamCount, 0.0f);

  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (const BumperSector & sector : kBumperSectors) {
    for (std::size_t beam = sector.first_beam; beam < sector.first_beam + sector.beam_count;
      ++beam)
    {
      const double u = unit(generator);
      scan.ranges[beam] = static_cast<float>(sector.near + (sector.far - sector.near) * u);
    }
  }
}

std::int64_t bumperStampNanoseconds(std::int64_t node_time_ns)
{
  return std::max<std::int64_t>(node_time_ns - kBumperStampLagNanoseconds, 0);
}

}  // namespace costmap_input
