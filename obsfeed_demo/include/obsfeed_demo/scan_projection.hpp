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

#ifndef OBSFEED_DEMO__SCAN_PROJECTION_HPP_
#define OBSFEED_DEMO__SCAN_PROJECTION_HPP_

#include <Eigen/Geometry>

#include <vector>

#include "sensor_msgs/msg/laser_scan.hpp"

// What a costmap's obstacle layer can mark from a scan: its returns as points, projected the
// way laser_geometry projects them for Nav2.

namespace obsfeed_demo
{

/// laser_geometry's rule: a range is a return only if range_min <= range < range_max. So a
/// range at or beyond range_max (obsfeed's far reading) and anything not a number is no point
/// at all: it neither marks nor clears.
bool isReturn(float range, float range_min, float range_max);

/// The returns of @p scan as points in the frame that @p sensor_in_base leads into (the scan's
/// own frame with the identity). Ray i lies at angle_min + i * angle_increment in the scan's x-y
/// plane; coordinates are single precision, as in the point cloud that the costmap builds.
std::vector<Eigen::Vector3d> scanReturns(
  const sensor_msgs::msg::LaserScan & scan,
  const Eigen::Isometry3d & sensor_in_base = Eigen::Isometry3d::Identity());

/// The ends of the scan's fan at @p range, from angle_min to the last ray, every
/// @p step_count-th of the way, in the frame that @p sensor_in_base leads into: for drawing.
std::vector<Eigen::Vector3d> fanOutline(
  const sensor_msgs::msg::LaserScan & scan, double range,
  const Eigen::Isometry3d & sensor_in_base, int step_count = 16);

}  // namespace obsfeed_demo

#endif  // OBSFEED_DEMO__SCAN_PROJECTION_HPP_
