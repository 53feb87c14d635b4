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

#ifndef RCLCPP__DETAIL__ARGUMENTS_HPP_
#define RCLCPP__DETAIL__ARGUMENTS_HPP_

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rclcpp/detail/param_overrides.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{
namespace detail
{

/// One `-r [node:]from:=to` rule.
struct RemapRule
{
  enum class Kind { NodeName, Namespace, Topic, Service };

  Kind kind;
  /// Set for `-r node:from:=to`: the rule applies to that node only.
  std::optional<std::string> node_name;
  std::string from;
  std::string to;
};

/// The ROS arguments of one argument list (process arguments or NodeOptions::arguments()).
class Arguments
{
public:
  RCLCPP_PUBLIC
  Arguments() = default;

  /// Split args into ROS arguments (inside `--ros-args` ... `--`, or to the end) and the rest.
  /**
   * Understands -p/--param, --params-file, -r/--remap, --log-level, --log-config-file,
   * -e/--enclave and the --(enable|disable)-(rosout|stdout|external-lib)-logs flags (logging
   * and enclave are accepted and otherwise ignored). Other flags inside --ros-args are kept in
   * unknown_ros_arguments(), as rcl does; rejecting them is the caller's choice.
   * \throws rclcpp::exceptions::RCLInvalidROSArgsError for a malformed rule, a flag missing its
   *   value, an unreadable or malformed parameters file
   */
  RCLCPP_PUBLIC
  static Arguments
  parse(const std::vector<std::string> & args);

  RCLCPP_PUBLIC
  static Arguments
  parse(int argc, char const * const * argv);

  /// The arguments outside --ros-args, in order (argv[0] included when it was given).
  RCLCPP_PUBLIC
  const std::vector<std::string> &
  non_ros_arguments() const;

  /// Flags inside --ros-args that are not ROS arguments.
  RCLCPP_PUBLIC
  const std::vector<std::string> &
  unknown_ros_arguments() const;

  /// `-r __node:=name` (or `__name`); with original_node_name, `-r original:__node:=name` too.
  RCLCPP_PUBLIC
  std::optional<std::string>
  node_name(const std::string & original_node_name = {}) const;

  /// `-r __ns:=/ns`; with original_node_name, `-r original:__ns:=/ns` too.
  RCLCPP_PUBLIC
  std::optional<std::string>
  node_namespace(const std::string & original_node_name = {}) const;

  /// The first topic rule matching the fully qualified topic of the given node, applied;
  /// relative `from`/`to` are taken inside node_namespace. nullopt if none matches.
  RCLCPP_PUBLIC
  std::optional<std::string>
  match_topic_remap(
    const std::string & fully_qualified_topic,
    const std::string & node_name,
    const std::string & node_namespace) const;

  /// match_topic_remap(), or the topic unchanged.
  RCLCPP_PUBLIC
  std::string
  remap_topic(
    const std::string & fully_qualified_topic,
    const std::string & node_name,
    const std::string & node_namespace) const;

  RCLCPP_PUBLIC
  const std::vector<RemapRule> &
  remap_rules() const;

  /// Parameter overrides from -p and --params-file, in the order rclcpp resolves them.
  RCLCPP_PUBLIC
  const std::vector<ParameterOverrideSection> &
  parameter_override_sections() const;

  /// Apply this list's parameter overrides for node_fqn onto overrides (later values win).
  /**
   * \throws rclcpp::exceptions::InvalidParametersException for an override without a value
   */
  RCLCPP_PUBLIC
  void
  apply_parameter_overrides(
    const std::string & node_fqn,
    std::map<std::string, rclcpp::ParameterValue> & overrides) const;

  RCLCPP_PUBLIC
  const std::vector<std::string> &
  parameter_files() const;

  RCLCPP_PUBLIC
  const std::optional<std::string> &
  enclave() const;

private:
  std::vector<std::string> non_ros_arguments_;
  std::vector<std::string> unknown_ros_arguments_;
  std::vector<RemapRule> remap_rules_;
  std::vector<ParameterOverrideSection> parameter_override_sections_;
  std::vector<std::string> parameter_files_;
  std::optional<std::string> enclave_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__ARGUMENTS_HPP_
