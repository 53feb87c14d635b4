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

// The reading-to-scan arithmetic with any start-up geometry, any range limits (the run-time
// ones are only checked for being finite) and any readings: a geometry the start-up check
// accepts must give a bounded fan of identical, ordered rays for every reading.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "obsfeed/ultrasonic_scan.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace
{

// Every bit pattern, so NaN, the infinities and subnormals all come up.
double anyDouble(FuzzedDataProvider & input)
{
  const std::uint64_t bits = input.ConsumeIntegral<std::uint64_t>();
  double value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

void check(bool holds, const char * what)
{
  if (!holds) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  FuzzedDataProvider input(data, size);
  costmap_input::UltrasonicGeometry geometry;
  geometry.field_of_view = anyDouble(input);
  geometry.safe_angle = anyDouble(input);
  geometry.sample_ratio = anyDouble(input);
  geometry.range_min = anyDouble(input);
  geometry.range_max = anyDouble(input);
  const bool vertical = costmap_input::isVerticalMount(input.ConsumeRandomLengthString(8));

  if (costmap_input::ultrasonicGeometryFault(
      vertical ? "ultrasonic.ver_" : "ultrasonic.hor_", geometry.field_of_view,
      geometry.safe_angle, geometry.sample_ratio))
  {
    return 0;
  }
  sensor_msgs::msg::LaserScan scan;
  while (input.remaining_bytes() >= 2) {
    const auto raw = input.ConsumeIntegral<std::uint16_t>();
    costmap_input::fillUltrasonicScan(geometry, raw, scan);
    check(scan.ranges.size() <= costmap_input::kMaxUltrasonicRays, "ray count bounded");
    check(scan.angle_min <= scan.angle_max, "fan ordered");
    check(scan.intensities.empty(), "no intensities");
    for (float range : scan.ranges) {
      check(std::memcmp(&range, &scan.ranges.front(), sizeof(range)) == 0, "identical rays");
    }
  }
  return 0;
}
