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

#include "obsfeed/costmap_input.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex/logger.hpp"
#include "quorvex_lumidra_diagnosis/diagnosis.hpp"

namespace costmap_input
{

namespace
{

using Descriptor = rcl_interfaces::msg::ParameterDescriptor;

constexpr double kPi = 3.14159265358979323846;

// What a descriptor cannot say (rclcpp's range check lets NaN and infinities through, and the
// ray count depends on two parameters at once) goes into additional_constraints and is checked
// by the node itself, with a reason naming the parameter.
Descriptor described(const std::string & description, const std::string & constraints = "")
{
  Descriptor descriptor;
  descriptor.description = description;
  descriptor.additional_constraints = constraints;
  return descriptor;
}

// The geometry shapes every scan and the sensor list the publishers: honouring a change would
// need the node rebuilt, so rclcpp refuses it rather than the node ignoring it silently.
Descriptor fixedAtStartUp(Descriptor descriptor)
{
  descriptor.description += " Fixed at start-up.";
  descriptor.read_only = true;
  return descriptor;
}

// Step 0: any value in between; the ends themselves are accepted.
Descriptor within(Descriptor descriptor, double from, double to)
{
  descriptor.floating_point_range.resize(1);
  descriptor.floating_point_range[0].from_value = from;
  descriptor.floating_point_range[0].to_value = to;
  return descriptor;
}

// The limits may cross, be negative or zero: a robot may mean any of that, so only the
// non-finite values that would break every scan are refused.
Descriptor rangeMin(const char * mount)
{
  return described(
    fmt::format(
      "Shortest distance the scans of {} mounted sensors claim (their range_min), in metres. "
      "A set takes effect for the next reading.", mount),
    "Finite; not checked against the maximum.");
}

Descriptor rangeMax(const char * mount)
{
  return described(
    fmt::format(
      "Longest distance the scans of {} mounted sensors claim (their range_max), in metres; a "
      "reading beyond it is published as 5 m (times the cosine of the safe angle). A set takes "
      "effect for the next reading.", mount),
    "Finite; not checked against the minimum.");
}

std::string rayLimit()
{
  return fmt::format(
    "Not NaN; field_of_view / sample_ratio must give at most {} rays per scan (one every "
    "quarter degree).", kMaxUltrasonicRays);
}

// A cone cannot open wider than a full turn; the range also catches an angle given in degrees.
Descriptor fieldOfView(const char * mount)
{
  return within(
    fixedAtStartUp(
      described(
        fmt::format("Full opening angle of the cone of a {} mounted sensor, in radians.", mount),
        rayLimit())), 0.0, 2.0 * kPi);
}

// Beyond a right angle the cosine turns every published distance negative; the sign itself
// does not matter.
Descriptor safeAngle(const char * mount)
{
  return within(
    fixedAtStartUp(
      described(
        fmt::format(
          "Angle whose cosine shortens every distance a {} mounted sensor publishes, in radians.",
          mount), "Finite.")), -kPi / 2.0, kPi / 2.0);
}

Descriptor sampleRatio(const char * mount)
{
  return fixedAtStartUp(
    described(
      fmt::format(
        "Divisor of the half opening angle that gives the half width of the scans of {} mounted "
        "sensors, without unit; 0 or below means 2.", mount), rayLimit()));
}

// Every parameter of the node, declared from here only: a descriptor lets `ros2 param describe`
// tell a user what each one is, and lets rclcpp itself refuse what a descriptor can say (a wrong
// type, a set at run time of what is fixed at start-up, a value out of range).
void declareParameters(rclcpp::Node & node)
{
  struct Row
  {
    rclcpp::Parameter name_and_default;
    Descriptor descriptor;
  };
  const char * const hor = "horizontally";
  const char * const ver = "vertically";
  const Row table[] = {
    {{"debug", false},
      described("Reserved for debugging output; no behaviour of the node depends on it.")},
    {{"ultrasonic.hor_range_min", 0.01}, rangeMin(hor)},
    {{"ultrasonic.hor_range_max", 0.2}, rangeMax(hor)},
    {{"ultrasonic.hor_field_of_view", 0.873}, fieldOfView(hor)},
    {{"ultrasonic.hor_safe_angle", 1.047}, safeAngle(hor)},
    {{"ultrasonic.hor_sample_ratio", 2.0}, sampleRatio(hor)},
    {{"ultrasonic.ver_range_min", 0.01}, rangeMin(ver)},
    {{"ultrasonic.ver_range_max", 0.4}, rangeMax(ver)},
    {{"ultrasonic.ver_field_of_view", 1.744}, fieldOfView(ver)},
    {{"ultrasonic.ver_safe_angle", 0.611}, safeAngle(ver)},
    {{"ultrasonic.ver_sample_ratio", 2.0}, sampleRatio(ver)},
    {{"ultrasonic.use_inf", false},
      described(
        "How a reading without a return (beyond its direction's range_max, or 0xFFFF) is "
        "published. false: as 5 m times the cosine of the safe angle, a finite range beyond "
        "range_max that a costmap drops without clearing anything. true: as +Inf on every ray "
        "(no object within range), with which a Nav2 obstacle layer that has inf_is_valid "
        "clears the sensor's fan; a sensor without a usable reading for "
        "ultrasonic.stale_timeout then gets one scan of NaN. A set takes effect for the next "
        "reading.")},
    {{"ultrasonic.stale_timeout", 1.0},
      within(
        fixedAtStartUp(
          described(
            "Seconds an input may go without a usable message (for a sensor: only 0xEEEE, or "
            "no readings at all) before its status on /diagnostics turns to error and, with "
            "ultrasonic.use_inf, a sensor's topic gets one scan of NaN on every ray, so that a "
            "costmap stops marking or clearing with its last scan.",
            "Not NaN.")), 0.01, 3600.0)},
    {{"ultrasonic.device_pose", std::vector<std::string>{"hor", "hor", "hor"}},
      fixedAtStartUp(
        described(
          "One entry per ultrasonic sensor, in the order of the readings array: \"ver\" (any "
          "letter case) for a vertically mounted sensor, anything else for a horizontal one."))},
  };
  for (const Row & row : table) {
    node.declare_parameter(
      row.name_and_default.get_name(), row.name_and_default.get_parameter_value(),
      row.descriptor);
  }
}

}  // namespace

CostmapInput::CostmapInput(std::string node_name)
: CostmapInput(node_name, rclcpp::NodeOptions(rcutils_get_default_allocator()))
{
}

CostmapInput::CostmapInput(const rclcpp::NodeOptions & options)
: CostmapInput("costmap_input", options)
{
}

CostmapInput::CostmapInput(const std::string & node_name, const rclcpp::NodeOptions & options)
: rclcpp::Node(node_name, options)
{
  declareParameters(*this);
  get_parameter("debug", debug_);

  log_level_ = GetSpdlogEffectiveLevel();
  LOG_INFO("log_level: {0:d}", log_level_);

  // The ultrasonic pipeline first, the bumper second; the calibration report goes out only
  // once both exist, so the diagnosis service never hears from a node that is not serving.
  ultrasonicInit();
  bumperInit();
  diagnosticsInit();
  Diagnosis::getInstance().SensorCalibrationStatusReport();
}

CostmapInput::~CostmapInput() = default;

int CostmapInput::GetSpdlogEffectiveLevel()
{
  const char * value = std::getenv("SPDLOG_LEVEL");
  if (value == nullptr) {
    return 2;
  }
  std::string lowered(value);
  std::transform(
    lowered.begin(), lowered.end(), lowered.begin(),
    [](unsigned char c) {return static_cast<char>(std::tolower(c));});
  static const char * const kNames[] =
  {"trace", "debug", "info", "warning", "error", "critical", "off"};
  for (int level = 0; level < 7; ++level) {
    if (lowered == kNames[level]) {
      return level;
    }
  }
  return 2;
}

}  // namespace costmap_input
