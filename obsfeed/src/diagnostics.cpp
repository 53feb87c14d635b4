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

#include <chrono>
#include <string>
#include <vector>

#include "obsfeed/costmap_input.hpp"
#include "obsfeed/ultrasonic_scan.hpp"

namespace costmap_input
{

void CostmapInput::diagnosticsInit()
{
  std::vector<std::string> frame_ids;
  for (std::size_t n = 1; n <= device_pose_.size(); ++n) {
    frame_ids.push_back(ultrasonicFrameId(n));
  }
  diagnostics_ = std::make_unique<InputDiagnostics>(
    get_name(), frame_ids,
    // ultrasonicInit has read and checked the timeout.
    std::chrono::duration_cast<InputDiagnostics::Clock::duration>(stale_timeout_),
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
