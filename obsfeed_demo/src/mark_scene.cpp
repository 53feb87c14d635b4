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

#include "obsfeed_demo/mark_scene.hpp"

#include <cmath>
#include <set>
#include <utility>

#include "obsfeed_demo/scan_projection.hpp"

namespace obsfeed_demo
{

namespace
{

Eigen::Vector2d seenFromAbove(const Eigen::Vector3d & point)
{
  return point.head<2>();
}

void appendFromAbove(
  const std::vector<Eigen::Vector3d> & points, std::vector<Eigen::Vector2d> & out)
{
  for (const Eigen::Vector3d & point : points) {
    out.push_back(seenFromAbove(point));
  }
}

}  // namespace

MarkScene MarkScene::forRobot(const std::string & title, const RobotLayout & layout)
{
  MarkScene scene;
  scene.title = title;
  scene.footprint = layout.footprint;
  return scene;
}

void MarkScene::addUltrasonicScan(
  const sensor_msgs::msg::LaserScan & scan, const SensorMount & mount)
{
  const Eigen::Isometry3d sensor_in_base = mount.inBase();
  // Every ray of an obsfeed scan carries the same range.
  const float range = scan.ranges.empty() ? scan.range_max : scan.ranges.front();
  Fan fan;
  fan.beyond_range = !isReturn(range, scan.range_min, scan.range_max);
  fan.no_object = std::isinf(range) && range > 0.0f;
  fan.outline.push_back(seenFromAbove(sensor_in_base.translation()));
  appendFromAbove(
    fanOutline(scan, fan.beyond_range ? scan.range_max : range, sensor_in_base), fan.outline);
  fans.push_back(std::move(fan));
  appendFromAbove(scanReturns(scan, sensor_in_base), ultrasonic_returns);
}

void MarkScene::addBumperScan(const sensor_msgs::msg::LaserScan & scan)
{
  appendFromAbove(scanReturns(scan), bumper_returns);
}

void MarkScene::markCellsOfReturns(double size, const std::string & label)
{
  std::set<std::pair<long, long>> cells;  // NOLINT(runtime/int)
  for (const auto * returns : {&ultrasonic_returns, &bumper_returns}) {
    for (const Eigen::Vector2d & point : *returns) {
      cells.emplace(
        std::lround(std::floor(point.x() / size)),
        std::lround(std::floor(point.y() / size)));
    }
  }
  marked_cells.clear();
  for (const auto & [i, j] : cells) {
    marked_cells.emplace_back((i + 0.5) * size, (j + 0.5) * size);
  }
  cell_size = size;
  cells_label = label;
}

}  // namespace obsfeed_demo
