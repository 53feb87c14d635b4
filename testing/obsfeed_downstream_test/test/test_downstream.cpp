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

// Compiling this file is most of the test: every header obsfeed installs, found through
// obsfeed::obsfeed_core alone. Running it shows that the library and what it links come along.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "obsfeed/bumper_scan.hpp"
#include "obsfeed/costmap_input.hpp"
#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex/logger.hpp"
#include "rclcpp/rclcpp.hpp"

TEST(Downstream, UsesTheNodeItsScansAndItsLoggerThroughTheExportedTarget)
{
  EXPECT_EQ(costmap_input::ultrasonicTopic(2), "ultrasonic_laser2");
  std::mt19937 generator(1);
  sensor_msgs::msg::LaserScan scan;
  costmap_input::fillBumperScan(generator, scan);
  EXPECT_EQ(scan.ranges.size(), costmap_input::kBumperBeamCount);

  quorvex::Logger::Instance("downstream");
  LOG_INFO("downstream of obsfeed {0}", 1);

  // A domain of its own: the node listens on the robot's absolute topics.
  setenv("ROS_DOMAIN_ID", std::to_string(1 + getpid() % 200).c_str(), 1);
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  rclcpp::init(0, nullptr);
  {
    const auto node = std::make_shared<costmap_input::CostmapInput>("costmap_input");
    EXPECT_EQ(node->get_parameter("ultrasonic.device_pose").as_string_array().size(), 3u);
  }
  rclcpp::shutdown();
}
