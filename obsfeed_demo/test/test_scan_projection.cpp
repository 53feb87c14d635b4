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

// The projection the demo draws without a costmap: laser_geometry's rule for what is a return,
// and the sensor layout that places the returns around the robot.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>

#include "obsfeed_demo/robot_layout.hpp"
#include "obsfeed_demo/scan_projection.hpp"

namespace
{

using obsfeed_demo::scanReturns;
using sensor_msgs::msg::LaserScan;

/// A scan shaped as obsfeed's horizontal default: 100 rays of @p range, limits 0.01 to 0.2 m.
LaserScan horizontalScan(float range)
{
  LaserScan scan;
  scan.angle_min = -0.21825f;
  scan.angle_max = 0.21825f;
  scan.angle_increment = 0.0043633231f;
  scan.range_min = 0.01f;
  scan.range_max = 0.2f;
  scan.ranges.assign(100, range);
  return scan;
}

TEST(ScanProjection, KeepsOnlyRangesFromRangeMinUpToButNotIncludingRangeMax)
{
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(obsfeed_demo::isReturn(0.01f, 0.01f, 0.2f));
  EXPECT_TRUE(obsfeed_demo::isReturn(std::nextafter(0.2f, 0.0f), 0.01f, 0.2f));
  for (const float dropped : {0.2f, 2.5008554f, inf, nan, std::nextafter(0.01f, 0.0f), 0.0f}) {
    EXPECT_FALSE(obsfeed_demo::isReturn(dropped, 0.01f, 0.2f)) << dropped;
    EXPECT_TRUE(scanReturns(horizontalScan(dropped)).empty()) << dropped;
  }
}

TEST(ScanProjection, PlacesEveryReturnAtItsRangeAcrossTheFanOfItsMount)
{
  const obsfeed_demo::RobotLayout layout = obsfeed_demo::loadRobotLayout(SENSOR_LAYOUT);
  ASSERT_EQ(layout.sensors.size(), 3u);
  for (const obsfeed_demo::SensorMount & mount : layout.sensors) {
    const auto points = scanReturns(horizontalScan(0.0500171f), mount.inBase());
    ASSERT_EQ(points.size(), 100u) << mount.frame_id;
    for (const Eigen::Vector3d & point : points) {
      const Eigen::Vector3d offset = point - mount.xyz;
      EXPECT_NEAR(offset.norm(), 0.0500171, 1e-6) << mount.frame_id;
      EXPECT_NEAR(offset.z(), 0.0, 1e-7) << mount.frame_id;
      EXPECT_LE(std::abs(std::atan2(offset.y(), offset.x()) - mount.rpy.z()), 0.21826)
        << mount.frame_id;
    }
  }
  // The first ray lies at angle_min: to the right of where the sensor looks.
  obsfeed_demo::SensorMount turned_left{"left", {0.0, 0.0, 0.0}, {0.0, 0.0, M_PI / 2}};
  const Eigen::Vector3d first = scanReturns(horizontalScan(0.1f), turned_left.inBase()).front();
  EXPECT_NEAR(first.x(), 0.1 * std::sin(0.21825), 1e-6);
  EXPECT_NEAR(first.y(), 0.1 * std::cos(0.21825), 1e-6);
  // Rolled upright, the fan stands in the vertical plane: its side becomes height.
  obsfeed_demo::SensorMount upright{"upright", {0.0, 0.0, 0.3}, {M_PI / 2, 0.0, 0.0}};
  const Eigen::Vector3d low = scanReturns(horizontalScan(0.1f), upright.inBase()).front();
  EXPECT_NEAR(low.y(), 0.0, 1e-7);
  EXPECT_NEAR(low.z(), 0.3 - 0.1 * std::sin(0.21825), 1e-6);
}

TEST(RobotLayout, ReadsTheShippedLayoutAndNamesTheFileOfABrokenOne)
{
  const obsfeed_demo::RobotLayout layout = obsfeed_demo::loadRobotLayout(SENSOR_LAYOUT);
  EXPECT_EQ(layout.sensors[0].frame_id, "ultrasonic_01_link");
  EXPECT_EQ(layout.sensors[2].frame_id, "ultrasonic_03_link");
  EXPECT_EQ(
    layout.nav2Footprint(), "[[0.4, 0.28], [0.4, -0.28], [-0.4, -0.28], [-0.4, 0.28]]");

  const std::string broken = testing::TempDir() + "broken_layout.yaml";
  for (const char * text : {
      "footprint: [[0, 0], [1, 0]]\nultrasonic_sensors: []\n",
      "footprint: [[0, 0], [1, 0], [1, 1]]\nultrasonic_sensors:\n"
      "  - {frame: a, xyz: [0, 0], rpy: [0, 0, 0]}\n",
      "footprint: [[0, 0], [1, 0], [1, .nan]]\nultrasonic_sensors: []\n",
      "footprint: [[0, 0], [1, 0], [1, 1]]\nultrasonic_sensors:\n  - {frame: a, xyz: [0, 0, 0]}\n",
      "footprint: [[0, 0], [1, 0], [1, 1]\n"})
  {
    std::ofstream(broken) << text;
    try {
      obsfeed_demo::loadRobotLayout(broken);
      ADD_FAILURE() << "accepted:\n" << text;
    } catch (const std::runtime_error & error) {
      EXPECT_EQ(std::string(error.what()).rfind(broken + ": ", 0), 0u) << error.what();
    }
  }
  std::remove(broken.c_str());
}

}  // namespace
