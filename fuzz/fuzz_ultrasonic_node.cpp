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

// The node's ultrasonic pipeline as the executor drives it: any sequence of readings arrays
// of any length and run-time range-limit changes of any names, types and values. The node may
// refuse a change or drop an array, and must do nothing else.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "obsfeed/costmap_input.hpp"
#include "rclcpp/rclcpp.hpp"

namespace
{

std::shared_ptr<costmap_input::CostmapInput> node;

double anyDouble(FuzzedDataProvider & input)
{
  const std::uint64_t bits = input.ConsumeIntegral<std::uint64_t>();
  double value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

rclcpp::Parameter anyParameter(FuzzedDataProvider & input)
{
  static const char * const kNames[] = {
    "ultrasonic.hor_range_min", "ultrasonic.hor_range_max", "ultrasonic.ver_range_min",
    "ultrasonic.ver_range_max", "ultrasonic.hor_field_of_view", "debug", "other"};
  const std::string name = kNames[input.ConsumeIntegralInRange<std::size_t>(0, 6)];
  switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return rclcpp::Parameter(name, anyDouble(input));
    case 1: return rclcpp::Parameter(name, input.ConsumeIntegral<std::int64_t>());
    case 2: return rclcpp::Parameter(name, input.ConsumeRandomLengthString(16));
    default: return rclcpp::Parameter(name, input.ConsumeBool());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  // Quiet, and alone on the network: a domain of its own, loopback only.
  setenv("SPDLOG_STDOUT", "false", 1);
  setenv("SPDLOG_SYSTEMD", "false", 1);
  setenv("SPDLOG_LEVEL", "info", 1);
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  setenv("ROS_DOMAIN_ID", std::to_string(1 + getpid() % 200).c_str(), 1);
  const char * argv[] = {"fuzz_ultrasonic_node", "--ros-args",
    "-p", "ultrasonic.device_pose:=[hor, VER, Hor, ver, sideways]"};
  rclcpp::init(
    static_cast<int>(sizeof(argv) / sizeof(argv[0])), argv, rclcpp::InitOptions(),
    rclcpp::SignalHandlerOptions::None);
  node = std::make_shared<costmap_input::CostmapInput>("costmap_input");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  FuzzedDataProvider input(data, size);
  while (input.remaining_bytes() > 0) {
    if (input.ConsumeBool()) {
      std::vector<rclcpp::Parameter> parameters;
      for (auto count = input.ConsumeIntegralInRange<int>(0, 4); count > 0; --count) {
        parameters.push_back(anyParameter(input));
      }
      node->dynamicParametersCallback(parameters);
    } else {
      auto readings = std::make_shared<std_msgs::msg::UInt16MultiArray>();
      // Mostly the configured five, sometimes any other length.
      const std::size_t length = input.ConsumeBool() ?
        5 : input.ConsumeIntegralInRange<std::size_t>(0, 64);
      for (std::size_t i = 0; i < length; ++i) {
        readings->data.push_back(input.ConsumeIntegral<std::uint16_t>());
      }
      node->ultrasonicCallback(readings);
    }
  }
  return 0;
}
