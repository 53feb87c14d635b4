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

#ifndef OBSFEED_DEMO__ROBOT_LAYOUT_HPP_
#define OBSFEED_DEMO__ROBOT_LAYOUT_HPP_

#include <Eigen/Geometry>

#include <string>
#include <vector>

namespace obsfeed_demo
{

/// Where one ultrasonic sensor sits on the robot: the pose of its frame in base_footprint.
struct SensorMount
{
  std::string frame_id;   // e.g. "ultrasonic_01_link"
  Eigen::Vector3d xyz;    // m
  Eigen::Vector3d rpy;    // rad: roll, pitch, yaw about the fixed axes x, y, z (as tf2's setRPY)

  /// Takes a point from the sensor's frame into base_footprint.
  Eigen::Isometry3d inBase() const;
};

/// The robot as the costmap sees it: its outline and its sensors, in base_footprint.
struct RobotLayout
{
  std::vector<Eigen::Vector2d> footprint;  // polygon, metres
  std::vector<SensorMount> sensors;        // in the order of the readings array

  /// The outline in the form of Nav2's "footprint" parameter: "[[x, y], [x, y], ...]".
  std::string nav2Footprint() const;
};

/// Reads a sensor layout file (obsfeed's config/sensor_layout.yaml is the example). Throws
/// std::runtime_error naming the file and what is wrong with it.
RobotLayout loadRobotLayout(const std::string & path);

}  // namespace obsfeed_demo

#endif  // OBSFEED_DEMO__ROBOT_LAYOUT_HPP_
