// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

// obsfeed_demo: starts obsfeed_node beside a simulated robot that moves an obstacle towards
// each ultrasonic sensor and away again, then presses the bumper, and draws what is marked at
// each step worth seeing as a PNG.
//
//   obsfeed_demo --node OBSFEED_NODE --layout SENSOR_LAYOUT --out DIR
//                [--costmap-params FILE]...            (built with Nav2's costmap: required)
//
// Built with Nav2's costmap, it also runs Nav2's standalone costmap with the parameter files
// given and draws the lethal cells of its grid; built without, it draws the cells that the
// scans' returns fall in, projected as laser_geometry does for a costmap.

#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "obsfeed_demo/background_spinner.hpp"
#include "obsfeed_demo/child_program.hpp"
#include "obsfeed_demo/mark_scene.hpp"
#include "obsfeed_demo/robot_layout.hpp"
#include "obsfeed_demo/scene_painter.hpp"
#include "obsfeed_demo/simulated_robot.hpp"
#include "rclcpp/rclcpp.hpp"
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
#include "obsfeed_demo/costmap_session.hpp"
#endif

namespace
{

using namespace std::chrono_literals;
using obsfeed_demo::MarkScene;
using LaserScan = sensor_msgs::msg::LaserScan;

constexpr std::uint16_t kFarReading = 0xFFFF;
constexpr double kCellSize = 0.025;  // m, as the costmap configuration of the demo

struct Options
{
  std::string node;
  std::string layout;
  std::string out;
  std::vector<std::string> costmap_params;
};

Options parseOptions(const std::vector<std::string> & arguments)
{
  Options options;
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

/// The demo's course and its pictures: the scans last answered for every sensor, and what the
/// costmap (or, without one, the projection) marks of them.
class Demo
{
public:
  Demo(const Options & options, const obsfeed_demo::RobotLayout & layout)
  : options_(options), layout_(layout),
    robot_(std::make_shared<obsfeed_demo::SimulatedRobot>(layout.sensors.size())),
    last_scans_(layout.sensors.size()),
    spinner_(robot_)
  {
  }

  void run()
  {
    obsfeed_demo::ChildProgram node(options_.node, {}, options_.out + "/obsfeed_node.log");
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
    obsfeed_demo::ChildProgram costmap(
      OBSFEED_DEMO_COSTMAP_PROGRAM,
      obsfeed_demo::CostmapSession::programArguments(options_.costmap_params, layout_),
      options_.out + "/nav2_costmap_2d.log");
    costmap_.emplace(robot_, layout_);
    costmap_->bringUp(30s);
#endif
    int picture = 0;
    for (std::size_t sensor = 0; sensor < layout_.sensors.size(); ++sensor) {
      // Closer in 40 mm steps to 100 mm, then away to beyond the 200 mm range limit.
      for (std::uint16_t mm = 300; mm >= 100; mm -= 40) {
        send(sensor, mm);
      }
      paint(++picture, layout_.sensors[sensor].frame_id + ": obstacle at 100 mm", false);
      for (std::uint16_t mm = 140; mm <= 300; mm += 40) {
        send(sensor, mm);
      }
    }
    paint(++picture, "every obstacle gone beyond range_max", false);
    bumper_ = robot_->pressBumper(10s);
    settle();
    paint(++picture, "bumper pressed", true);
  }

private:
  /// Every sensor far but @p sensor, which reads @p mm.
  void send(std::size_t sensor, std::uint16_t mm)
  {
    std::vector<std::uint16_t> readings(layout_.sensors.size(), kFarReading);
    readings[sensor] = mm;
    const auto answer = robot_->sendReadings(readings, 10s);
    for (std::size_t i = 0; i < answer.size(); ++i) {
      last_scans_[i] = answer[i];
    }
    settle();
  }

  /// Lets the costmap take in what was just published: it updates ten times a second.
  void settle()
  {
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
    grid_ = costmap_->gridAfter(costmap_->gridsSeen() + 2, 5s);
#endif
  }

  void paint(int number, const std::string & what, bool with_bumper)
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
    obsfeed_demo::paintScenePng(scene, path);
    std::cout << "obsfeed_demo: " << path << "  " << what << std::endl;
  }

  Options options_;
  obsfeed_demo::RobotLayout layout_;
  std::shared_ptr<obsfeed_demo::SimulatedRobot> robot_;
  std::vector<std::optional<LaserScan>> last_scans_;
  LaserScan bumper_;
#ifdef OBSFEED_DEMO_COSTMAP_PROGRAM
  std::optional<obsfeed_demo::CostmapSession> costmap_;
  obsfeed_demo::LethalCells grid_;
#endif
  // Last, so that it stops before anything its callbacks reach goes away.
  obsfeed_demo::BackgroundSpinner spinner_;
};

}  // namespace

int main(int argc, char ** argv)
{
  const std::vector<std::string> arguments = rclcpp::init_and_remove_ros_arguments(argc, argv);
  int status = 0;
  try {
    const Options options = parseOptions(arguments);
    Demo demo(options, obsfeed_demo::loadRobotLayout(options.layout));
    demo.run();
  } catch (const std::exception & error) {
    std::cerr << "obsfeed_demo: " << error.what() << "\n";
    status = 1;
  }
  rclcpp::shutdown();
  return status;
}
