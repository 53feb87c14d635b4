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

// obsfeed_demo: starts obsfeed_node beside a simulated robot that moves an obstacle towards
// each ultrasonic sensor and away again, once more with ultrasonic.use_inf, then presses the
// bumper, and draws what is marked at each step worth seeing as a PNG.
//
//   obsfeed_demo --node OBSFEED_NODE --layout SENSOR_LAYOUT --out DIR
//                [--costmap-params FILE]...            (built with Nav2's costmap: required)
//
// Built with Nav2's costmap, it also runs Nav2's standalone costmap with the parameter files
// given and draws the lethal cells of its grid; built without, it draws the cells that the
// scans' returns fall in, projected as laser_geometry does for a costmap.

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "demo_course.hpp"
#include "obsfeed_demo/robot_layout.hpp"
#include "rclcpp/rclcpp.hpp"

namespace
{

obsfeed_demo::DemoOptions parseOptions(const std::vector<std::string> & arguments)
{
  obsfeed_demo::DemoOptions options;
  for (std::size_t i = 1; i + 1 < arguments.size(); i += 2) {
    const std::string & name = arguments[i];
    const std::string & value = arguments[i + 1];
    if (name == "--node") {
      options.node = value;
    } else if (name == "--layout") {
      options.layout = value;
    } else if (name == "--out") {
      options.out = value;
    } else if (name == "--costmap-params") {
      options.costmap_params.push_back(value);
    } else {
      throw std::invalid_argument("unknown option " + name);
    }
  }
  if (arguments.size() % 2 == 0 || options.node.empty() || options.layout.empty() ||
    options.out.empty())
  {
    throw std::invalid_argument("--node, --layout and --out are needed, each with a value");
  }
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
  if (options.costmap_params.empty()) {
    throw std::invalid_argument("--costmap-params is needed for Nav2's costmap");
  }
#endif
  return options;
}

}  // namespace

int main(int argc, char ** argv)
{
  const std::vector<std::string> arguments = rclcpp::init_and_remove_ros_arguments(argc, argv);
  int status = 0;
  try {
    const obsfeed_demo::DemoOptions options = parseOptions(arguments);
    obsfeed_demo::DemoCourse(options, obsfeed_demo::loadRobotLayout(options.layout)).run();
  } catch (const std::exception & error) {
    std::cerr << "obsfeed_demo: " << error.what() << "\n";
    status = 1;
  }
  rclcpp::shutdown();
  return status;
}
