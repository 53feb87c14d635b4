// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include "obsfeed/costmap_input.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "quorvex/logger.hpp"
#include "quorvex_lumidra_diagnosis/diagnosis.hpp"

namespace costmap_input
{

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
  declare_parameter(
    "debug", rclcpp::ParameterValue(false), rcl_interfaces::msg::ParameterDescriptor(), false);
  get_parameter("debug", debug_);

  log_level_ = GetSpdlogEffectiveLevel();
  LOG_INFO("log_level: {0:d}", log_level_);

  // The ultrasonic pipeline first, the bumper second; the calibration report goes out only
  // once both exist, so the diagnosis service never hears from a node that is not serving.
  ultrasonicInit();
  bumperInit();
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
