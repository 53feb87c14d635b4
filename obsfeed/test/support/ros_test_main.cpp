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

// Starts ROS with this test's parameter file: each node a test builds picks up the section
// named after it, exactly as a deployed node picks up its section of the robot's file. The log
// capture is attached before anything logs.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "support/log_capture.hpp"

int main(int argc, char ** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  obsfeed_test::LogCapture::attach();
  // The node listens on fixed absolute topics: a test running at the same time elsewhere on
  // this machine must not feed it, so each test process gets a DDS domain of its own.
  const std::string domain = std::to_string(1 + getpid() % 100);
  setenv("ROS_DOMAIN_ID", domain.c_str(), 1);
  std::vector<const char *> ros_arguments(argv, argv + argc);
  ros_arguments.insert(
    ros_arguments.end(), {"--ros-args", "--params-file", OBSFEED_TEST_PARAMS_FILE});
  rclcpp::init(static_cast<int>(ros_arguments.size()), ros_arguments.data());
  const int result = RUN_ALL_TESTS();
  rclcpp::shutdown();
  return result;
}
