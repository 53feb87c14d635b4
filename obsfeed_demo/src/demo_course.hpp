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

#ifndef DEMO_COURSE_HPP_
#define DEMO_COURSE_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "obsfeed_demo/background_spinner.hpp"
#include "obsfeed_demo/robot_layout.hpp"
#include "obsfeed_demo/simulated_robot.hpp"
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
#include "obsfeed_demo/costmap_session.hpp"
#endif

namespace obsfeed_demo
{

/// Where the demo finds obsfeed_node and its files, and where its pictures go.
struct DemoOptions
{
  std::string node;
  std::string layout;
  std::string out;
  std::vector<std::string> costmap_params;  // for Nav2's costmap, where the demo has one
};

/// The demo's course and its pictures: it starts obsfeed_node (and Nav2's costmap where built
/// with it), moves an obstacle to each sensor and away, does the same again with a node that
/// has ultrasonic.use_inf, presses the bumper, and draws the scans last answered for every
/// sensor with what the costmap (or, without one, the projection) marks of them.
class DemoCourse
{
public:
  DemoCourse(const DemoOptions & options, const RobotLayout & layout);

  /// Runs the whole course; throws std::runtime_error if a program does not answer.
  void run();

private:
  using LaserScan = sensor_msgs::msg::LaserScan;

  /// An obstacle coming up to 100 mm in front of @p sensor, and going away beyond its range.
  void approach(std::size_t sensor);
  void leave(std::size_t sensor);
  /// Every sensor far but @p sensor, which reads @p mm.
  void send(std::size_t sensor, std::uint16_t mm);
  /// Lets the costmap take in what was just published.
  void settle();
  void paint(int number, const std::string & what, bool with_bumper);

  DemoOptions options_;
  RobotLayout layout_;
  std::shared_ptr<SimulatedRobot> robot_;
  std::vector<std::optional<LaserScan>> last_scans_;
  LaserScan bumper_;
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
  std::optional<CostmapSession> costmap_;
  LethalCells grid_;
#endif
  // Last, so that it stops before anything its callbacks reach goes away.
  BackgroundSpinner spinner_;
};

}  // namespace obsfeed_demo

#endif  // DEMO_COURSE_HPP_
