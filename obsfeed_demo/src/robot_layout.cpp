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

#include "obsfeed_demo/robot_layout.hpp"

#include <yaml-cpp/yaml.h>

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <string>

namespace obsfeed_demo
{

namespace
{

/// A list of exactly @p count finite numbers.
std::vector<double> readNumbers(
  const YAML::Node & node, std::size_t count,
  const std::string & what)
{
  if (!node.IsSequence() || node.size() != count) {
    throw std::runtime_error(what + " must be a list of " + std::to_string(count) + " numbers");
  }
  std::vector<double> numbers;
  for (const auto & item : node) {
    const double number = item.as<double>();
    if (!std::isfinite(number)) {
      throw std::runtime_error(what + " holds a number that is not finite");
    }
    numbers.push_back(number);
  }
  return numbers;
}

Eigen::Vector3d readVector3(const YAML::Node & node, const std::string & what)
{
  const std::vector<double> v = readNumbers(node, 3, what);
  return {v[0], v[1], v[2]};
}

RobotLayout parseLayout(const YAML::Node & root)
{
  RobotLayout layout;
  const YAML::Node footprint = root["footprint"];
  if (!footprint.IsSequence() || footprint.size() < 3) {
    throw std::runtime_error("footprint must list at least three [x, y] corners");
  }
  for (const auto & corner : footprint) {
    const std::vector<double> xy = readNumbers(corner, 2, "a footprint corner");
    layout.footprint.emplace_back(xy[0], xy[1]);
  }
  const YAML::Node sensors = root["ultrasonic_sensors"];
  if (!sensors.IsSequence()) {
    throw std::runtime_error("ultrasonic_sensors must be a list");
  }
  for (const auto & sensor : sensors) {
    SensorMount mount;
    mount.frame_id = sensor["frame"].as<std::string>();
    mount.xyz = readVector3(sensor["xyz"], mount.frame_id + " xyz");
    mount.rpy = readVector3(sensor["rpy"], mount.frame_id + " rpy");
    layout.sensors.push_back(mount);
  }
  return layout;
}

}  // namespace

Eigen::Isometry3d SensorMount::inBase() const
{
  Eigen::Isometry3d pose = Eigen::Isometry3d::Identity();
  pose.translate(xyz);
  pose.rotate(
    Eigen::AngleAxisd(rpy.z(), Eigen::Vector3d::UnitZ()) *
    Eigen::AngleAxisd(rpy.y(), Eigen::Vector3d::UnitY()) *
    Eigen::AngleAxisd(rpy.x(), Eigen::Vector3d::UnitX()));
  return pose;
}

std::string RobotLayout::nav2Footprint() const
{
  std::ostringstream text;
  text << "[";
  for (std::size_t i = 0; i < footprint.size(); ++i) {
    text << (i ? ", " : "") << "[" << footprint[i].x() << ", " << footprint[i].y() << "]";
  }
  text << "]";
  return text.str();
}

RobotLayout loadRobotLayout(const std::string & path)
{
  try {
    return parseLayout(YAML::LoadFile(path));
  } catch (const std::exception & error) {  // yaml-cpp's own exceptions included
    throw std::runtime_error(path + ": " + error.what());
  }
}

}  // namespace obsfeed_demo
