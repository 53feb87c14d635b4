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

#ifndef RCLCPP__DETAIL__YAML_PARAMETERS_HPP_
#define RCLCPP__DETAIL__YAML_PARAMETERS_HPP_

#include <stdexcept>
#include <string>
#include <vector>

#include "rclcpp/detail/param_overrides.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{
namespace detail
{

/// Malformed parameter YAML; what() names the source (file or argument) and the problem.
class YamlParameterError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// Type one YAML value (a scalar or a list of scalars) the way rcl does for `-p name:=value`:
/// unquoted true/false/yes/no/on/off/y/n in lower, Title or UPPER case are bools, then integers
/// (strtoll, base prefixes allowed), then doubles (strtod, plus .inf/.nan), else strings;
/// quoted scalars are always strings. A list must hold one type; an empty list yields a
/// PARAMETER_NOT_SET value.
/**
 * \throws YamlParameterError
 */
RCLCPP_PUBLIC
rclcpp::ParameterValue
parse_yaml_value(const std::string & yaml_text, const std::string & source);

/// Read a parameters file (`node:` ... `ros__parameters:` then nested maps whose keys are
/// joined with '.') into sections.
/**
 * \throws YamlParameterError naming the file, the line and what is wrong
 */
RCLCPP_PUBLIC
void
parse_parameter_file(const std::string & path, std::vector<ParameterOverrideSection> & sections);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__YAML_PARAMETERS_HPP_
