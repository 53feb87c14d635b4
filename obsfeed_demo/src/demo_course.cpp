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

#include "demo_course.hpp"

#include <chrono>
#include <iostream>

#include "obsfeed_child_process/child_process.hpp"
#include "obsfeed_demo/mark_scene.hpp"
#include "obsfeed_demo/scene_painter.hpp"

namespace obsfeed_demo
{

namespace
{

using namespace std::chrono_literals;
using obsfeed_child_process::ChildOutput;
using obsfeed_child_process::ChildProcess;

constexpr std::uint16_t kFarReading = 0xFFFF;
constexpr double kCellSize = 0.025;  // m, as the costmap configuration of the demo

}  // namespace

DemoCourse::DemoCourse(const DemoOptions & options, const RobotLayout & layout)
: options_(options), layout_(layout),
  robot_(std::make_shared<SimulatedRobot>(layout.sensors.size())),
  last_scans_(layout.sensors.size()),
  spinner_(robot_)
{
}

void DemoCourse::run()
{
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
  ChildProcess costmap(
    OBSFEED_DEMO_COSTMAP_PROGRAM,
    CostmapSession::programArguments(options_.costmap_params, layout_), {},
    ChildOutput::file(options_.out + "/nav2_costmap_2d.log"));
  costmap_.emplace(robot_, layout_);
  costmap_->bringUp(30s);
#endif
  int picture = 0;
  {
    ChildProcess node(
      options_.node, {}, {}, ChildOutput::file(options_.out + "/obsfeed_node.log"));
    for (std::size_t sensor = 0; sensor < layout_.sensors.size(); ++sensor) {
      approach(sensor);
      paint(++picture, layout_.sensors[sensor].frame_id + ": obstacle at 100 mm", false);
      leave(sensor);
    }
    paint(++picture, "every obstacle gone beyond range_max", false);
  }
  // The same course from an obsfeed_node started as a team using Nav2 starts it: the far
  // readings are +Inf now, and clear what this run and the one before left behind.
  ChildProcess node(
    options_.node, {"--ros-args", "-p", "ultrasonic.use_inf:=true"}, {},
    ChildOutput::file(options_.out + "/obsfeed_node_use_inf.log"));
  for (std::size_t sensor = 0; sensor < layout_.sensors.size(); ++sensor) {
    approach(sensor);
    leave(sensor);
  }
  paint(++picture, "with ultrasonic.use_inf: every obstacle gone, as +Inf", false);
  bumper_ = robot_->pressBumper(10s);
  settle();
  paint(++picture, "bumper pressed", true);
}

void DemoCourse::approach(std::size_t sensor)
{
  // Closer in 40 mm steps to 100 mm.
  for (std::uint16_t mm = 300; mm >= 100; mm -= 40) {
    send(sensor, mm);
  }
}

void DemoCourse::leave(std::size_t sensor)
{
  // Away to beyond the 200 mm range limit.
  for (std::uint16_t mm = 140; mm <= 300; mm += 40) {
    send(sensor, mm);
  }
}

void DemoCourse::send(std::size_t sensor, std::uint16_t mm)
{
  std::vector<std::uint16_t> readings(layout_.sensors.size(), kFarReading);
  readings[sensor] = mm;
  const auto answer = robot_->sendReadings(readings, 10s);
  for (std::size_t i = 0; i < answer.size(); ++i) {
    last_scans_[i] = answer[i];
  }
  settle();
}

void DemoCourse::settle()
{
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
  // The costmap updates and publishes ten times a second: the second grid from now has been
  // updated after the scans arrived.
  grid_ = costmap_->gridAfter(costmap_->gridsSeen() + 2, 5s);
#endif
}

void DemoCourse::paint(int number, const std::string & what, bool with_bumper)
{
  MarkScene scene = MarkScene::forRobot(std::to_string(number) + ". " + what, layout_);
  for (std::size_t i = 0; i < last_scans_.size(); ++i) {
    if (last_scans_[i]) {
      scene.addUltrasonicScan(*last_scans_[i], layout_.sensors[i]);
    }
  }
  if (with_bumper) {
    scene.addBumperScan(bumper_);
  }
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
  scene.marked_cells = grid_.centres;
  scene.cell_size = grid_.resolution;
  scene.cells_label = "lethal cells of Nav2's /costmap/costmap (it remembers them)";
#else
  scene.markCellsOfReturns(
    kCellSize, "cells the current returns fall in (no costmap: laser_geometry's rule)");
#endif
  const std::string path = options_.out + "/" + std::to_string(number) + ".png";
  paintScenePng(scene, path);
  std::cout << "obsfeed_demo: " << path << "  " << what << std::endl;
}

}  // namespace obsfeed_demo
