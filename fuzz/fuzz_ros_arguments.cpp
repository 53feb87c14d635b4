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

// A command line as obsfeed_node hands it to rclcpp: arguments separated by NUL bytes, read by
// a context's init() and then applied as the node "costmap_input" applies them (its parameter
// overrides, name, namespace and topic remappings). A bad command line must end in one of the
// exceptions rcl documents for it, never in anything else.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/init_options.hpp"
#include "rclcpp/parameter_value.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  std::vector<std::string> arguments{"obsfeed_node"};
  std::string current;
  for (std::size_t i = 0; i < size && arguments.size() < 64; ++i) {
    if (data[i] == '\0') {
      arguments.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  arguments.push_back(current);
  // Parameter files have a target of their own; here any file named is an empty one.
  for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == "--params-file") {
      arguments[i + 1] = "/dev/null";
    }
  }
  std::vector<const char *> argv;
  for (const auto & argument : arguments) {
    argv.push_back(argument.c_str());
  }

  auto context = std::make_shared<rclcpp::Context>();
  try {
    context->init(static_cast<int>(argv.size()), argv.data(), rclcpp::InitOptions());
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError &) {
    return 0;
  } catch (const rclcpp::exceptions::UnknownROSArgsError &) {
    return 0;
  }
  const auto & parsed = context->get_global_arguments();
  std::map<std::string, rclcpp::ParameterValue> overrides;
  try {
    parsed.apply_parameter_overrides("/costmap_input", overrides);
  } catch (const rclcpp::exceptions::InvalidParametersException &) {
  }
  const std::string name = parsed.node_name("costmap_input").value_or("costmap_input");
  const std::string node_namespace = parsed.node_namespace("costmap_input").value_or("/");
  parsed.remap_topic("/quorvex_ultrasonic/original_ultrasonic", name, node_namespace);
  parsed.remap_topic(node_namespace + "/ultrasonic_laser1", name, node_namespace);
  context->shutdown("fuzz input done");
  return 0;
}
