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

// A parameters file given with --params-file, read as obsfeed_node reads it and applied to the
// node "costmap_input". A malformed file must end in rcl's documented exception for a bad
// command line, never in anything else.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "rclcpp/detail/arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter_value.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  // A file in memory: nothing touches the disk, however many inputs run.
  static const int file = memfd_create("params.yaml", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(file);
  if (ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size)) {
    return 0;
  }
  rclcpp::detail::Arguments arguments;
  try {
    arguments = rclcpp::detail::Arguments::parse(
      {"obsfeed_node", "--ros-args", "--params-file",
        path});
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError &) {
    return 0;
  }
  std::map<std::string, rclcpp::ParameterValue> overrides;
  try {
    arguments.apply_parameter_overrides("/costmap_input", overrides);
  } catch (const rclcpp::exceptions::InvalidParametersException &) {
  }
  return 0;
}
