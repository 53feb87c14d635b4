// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include <chrono>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "obsfeed/costmap_input.hpp"
#include "obsfeed/ultrasonic_scan.hpp"

namespace costmap_input
{

namespace
{

// A day: longer than any input may sensibly stay silent, and far from where the conversion to
// the steady clock's ticks overflows.
constexpr double kLongestStaleTimeout = 86400.0;

}  // namespace

void CostmapInput::diagnosticsInit()
{
  double stale_timeout = 0.0;
  get_parameter("ultrasonic.stale_timeout", stale_timeout);
  if (!(stale_timeout > 0.0 && stale_timeout <= kLongestStaleTimeout)) {
    throw rclcpp::exceptions::InvalidParameterValueException(
            fmt::format(
              "parameter 'ultrasonic.stale_timeout' has invalid value {}: the timeout must be "
              "above 0 and at most {} seconds", stale_timeout, kLongestStaleTimeout));
  }
  std::vector<std::string> frame_ids;
  for (std::size_t n = 1; n <= device_pose_.size(); ++n) {
    frame_ids.push_back(ultrasonicFrameId(n));
  }
  diagnostics_ = std::make_unique<InputDiagnostics>(
    get_name(), frame_ids,
    std::chrono::duration_cast<InputDiagnostics::Clock::duration>(
      std::chrono::duration<double>(stale_timeout)),
    InputDiagnostics::Clock::now());
  diagnostics_pub_ =
    create_publisher<diagnostic_msgs::msg::DiagnosticArray>("/diagnostics", rclcpp::QoS(1));
  // In the node's default group, beside the bumper: never behind a busy ultrasonic callback,
  // whose counters it only reads.
  diagnostics_timer_ =
    create_wall_timer(std::chrono::seconds(1), [this]() {publishDiagnostics();});
}

void CostmapInput::publishDiagnostics()
{
  diagnostic_msgs::msg::DiagnosticArray array;
  array.header.stamp = now();
  array.status = diagnostics_->statuses(InputDiagnostics::Clock::now());
  diagnostics_pub_->publish(array);
}

}  // namespace costmap_input
