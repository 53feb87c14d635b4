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

#ifndef RCLCPP__DETAIL__PARAM_OVERRIDES_HPP_
#define RCLCPP__DETAIL__PARAM_OVERRIDES_HPP_

#include <map>
#include <string>
#include <vector>

#include "rclcpp/parameter_value.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{
namespace detail
{

/// One `name: value` read from a parameters file or a -p argument.
struct ParameterOverrideEntry
{
  std::string name;
  /// PARAMETER_NOT_SET for a value without an element type (an empty list), which only
  /// becomes an error when a node it applies to is created -- that is when rclcpp does it.
  rclcpp::ParameterValue value;
  /// Where it came from, for error messages: a file path or "-p".
  std::string source;
};

/// The parameters given for one node-name key (`talker`, `/ns/talker`, `/**`, `/*`).
/// Sections keep the order in which their key first appeared, and a later value for a name
/// replaces the earlier one in place: overrides are resolved in exactly that order.
struct ParameterOverrideSection
{
  /// Always with a leading slash.
  std::string node_key;
  std::vector<ParameterOverrideEntry> entries;
};

/// Add `name := value` to the section of node_key, creating the section at the end if new.
RCLCPP_PUBLIC
void
add_parameter_override(
  std::vector<ParameterOverrideSection> & sections,
  const std::string & node_key,
  ParameterOverrideEntry entry);

/// Whether a node-name key (with `/*` for one name and `/**` for any number of names)
/// selects the fully qualified node name.
RCLCPP_PUBLIC
bool
node_key_matches(const std::string & node_key, const std::string & node_fqn);

/// Apply, in order, every section selecting node_fqn onto overrides (later values win).
/**
 * \throws rclcpp::exceptions::InvalidParametersException for an entry without a value
 */
RCLCPP_PUBLIC
void
apply_parameter_overrides(
  const std::vector<ParameterOverrideSection> & sections,
  const std::string & node_fqn,
  std::map<std::string, rclcpp::ParameterValue> & overrides);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__PARAM_OVERRIDES_HPP_
