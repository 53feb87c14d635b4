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

#ifndef OBSFEED_DEMO__MARK_SCENE_HPP_
#define OBSFEED_DEMO__MARK_SCENE_HPP_

#include <Eigen/Geometry>

#include <string>
#include <vector>

#include "obsfeed_demo/robot_layout.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace obsfeed_demo
{

/// Everything one picture shows, seen from above in base_footprint (metres).
struct MarkScene
{
  /// One sensor's fan: its origin, then its outer edge from angle_min to the last ray.
  struct Fan
  {
    std::vector<Eigen::Vector2d> outline;
    /// The published range is no return (at or beyond range_max): the outline is drawn at
    /// range_max, to show what the sensor covers, and nothing in it marks.
    bool beyond_range;
    /// The published range is +Inf, no object within range: a costmap that accepts it
    /// (inf_is_valid) clears the whole fan.
    bool no_object = false;
  };

  std::string title;
  std::vector<Eigen::Vector2d> footprint;
  std::vector<Fan> fans;
  std::vector<Eigen::Vector2d> ultrasonic_returns;
  std::vector<Eigen::Vector2d> bumper_returns;
  /// Centres of the marked cells and their size; what marks them is said by cells_label.
  std::vector<Eigen::Vector2d> marked_cells;
  double cell_size = 0.025;
  std::string cells_label;

  /// A scene with the robot's outline and nothing seen yet.
  static MarkScene forRobot(const std::string & title, const RobotLayout & layout);

  /// Adds one ultrasonic scan as its sensor published it: the fan at the published range and
  /// the returns that a costmap keeps.
  void addUltrasonicScan(const sensor_msgs::msg::LaserScan & scan, const SensorMount & mount);
  /// Adds a bumper scan (frame base_footprint): its returns.
  void addBumperScan(const sensor_msgs::msg::LaserScan & scan);
  /// Marks the cells that the scene's returns fall into, for a picture without a costmap. The
  /// cells are aligned on base_footprint's origin, as those of a costmap whose origin lies a
  /// whole number of cells away (the demo's rolling window).
  void markCellsOfReturns(double cell_size, const std::string & label);
};

}  // namespace obsfeed_demo

#endif  // OBSFEED_DEMO__MARK_SCENE_HPP_
