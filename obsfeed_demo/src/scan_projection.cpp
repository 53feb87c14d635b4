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

#include "obsfeed_demo/scan_projection.hpp"

#include <cmath>

namespace obsfeed_demo
{

namespace
{

double rayAngle(const sensor_msgs::msg::LaserScan & scan, double index)
{
  return static_cast<double>(scan.angle_min) + index * static_cast<double>(scan.angle_increment);
}

Eigen::Vector3d roundedToFloat(const Eigen::Vector3d & point)
{
  return point.cast<float>().cast<double>();
}

}  // namespace

bool isReturn(float range, float range_min, float range_max)
{
  return range < range_max && range >= range_min;
}

std::vector<Eigen::Vector3d> scanReturns(
  const sensor_msgs::msg::LaserScan & scan, const Eigen::Isometry3d & sensor_in_base)
{
  std::vector<Eigen::Vector3d> points;
  for (std::size_t i = 0; i < scan.ranges.size(); ++i) {
    const float range = scan.ranges[i];
    if (!isReturn(range, scan.range_min, scan.range_max)) {
      continue;
    }
    // The costmap's point cloud holds single precision, in the scan's frame as in its own.
    const double angle = rayAngle(scan, static_cast<double>(i));
    const Eigen::Vector3d in_sensor = roundedToFloat(
      {static_cast<double>(range) * std::cos(angle), static_cast<double>(range) * std::sin(angle),
        0.0});
    points.push_back(roundedToFloat(sensor_in_base * in_sensor));
  }
  return points;
}

std::vector<Eigen::Vector3d> fanOutline(
  const sensor_msgs::msg::LaserScan & scan, double range,
  const Eigen::Isometry3d & sensor_in_base, int step_count)
{
  const double last_ray = scan.ranges.empty() ? 0.0 : static_cast<double>(scan.ranges.size() - 1);
  std::vector<Eigen::Vector3d> outline;
  for (int step = 0; step <= step_count; ++step) {
    const double angle = rayAngle(scan, last_ray * step / step_count);
    outline.push_back(
      sensor_in_base * Eigen::Vector3d(range * std::cos(angle), range * std::sin(angle), 0.0));
  }
  return outline;
}

}  // namespace obsfeed_demo
