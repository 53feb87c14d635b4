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

#include "rclcpp/detail/arguments.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rcutils/error_handling.h"
#include "rclcpp/detail/yaml_parameters.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace detail
{

namespace
{

/// Why one ROS argument could not be parsed; turned into RCLInvalidROSArgsError by parse().
class ArgumentError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

bool
is_token(const std::string & text)
{
  if (text.empty() || std::isdigit(static_cast<unsigned char>(text.front()))) {
    return false;
  }
  for (const char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
      return false;
    }
  }
  return true;
}

/// A name made of tokens separated by `separator`, optionally starting with it.
bool
is_separated_name(const std::string & text, char separator, bool allow_leading)
{
  if (text.empty()) {
    return false;
  }
  size_t start = 0;
  if (text.front() == separator) {
    if (!allow_leading) {
      return false;
    }
    start = 1;
    if (text.size() == 1) {
      return true;  // the root namespace
    }
  }
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::string::npos) {
      end = text.size();
    }
    if (!is_token(text.substr(start, end - start))) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

/// A parameter name as rcl reads it in `-p`: parts separated by dots, each part a run of
/// tokens and slashes, so that a topic name fits inside one part
/// (`qos_overrides./ns/topic.subscription.reliability`).
bool
is_parameter_name(const std::string & text)
{
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('.', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    if (end == start) {
      return false;
    }
    for (size_t token_start = start; token_start <= end; ) {
      size_t token_end = std::min(text.find('/', token_start), end);
      const std::string token = text.substr(token_start, token_end - token_start);
      if (!token.empty() && !is_token(token)) {
        return false;
      }
      token_start = token_end + 1;
    }
    start = end + 1;
  }
  return true;
}

/// A topic name as a remap rule may give it: absolute, relative or private (`~`, `~/x`).
bool
is_topic_name(const std::string & text)
{
  if (text == "~") {
    return true;
  }
  if (text.rfind("~/", 0) == 0) {
    return is_separated_name(text.substr(2), '/', false);
  }
  return is_separated_name(text, '/', true) && text != "/";
}

/// Split `[node:]rest` where rest itself may not contain ':' except in a `scheme://` prefix.
std::pair<std::optional<std::string>, std::string>
split_node_prefix(const std::string & text)
{
  const size_t colon = text.find(':');
  if (colon == std::string::npos || text.compare(colon, 3, "://") == 0) {
    return {std::nullopt, text};
  }
  return {text.substr(0, colon), text.substr(colon + 1)};
}

RemapRule
parse_remap_rule(const std::string & rule_text)
{
  const size_t separator = rule_text.find(":=");
  if (separator == std::string::npos) {
    throw ArgumentError("expected 'from:=to'");
  }
  auto [node_name, from] = split_node_prefix(rule_text.substr(0, separator));
  const std::string to = rule_text.substr(separator + 2);
  if (node_name && !is_token(*node_name)) {
    throw ArgumentError("'" + *node_name + "' is not a valid node name");
  }

  RemapRule rule{RemapRule::Kind::Topic, node_name, from, to};
  if (from == "__node" || from == "__name") {
    rule.kind = RemapRule::Kind::NodeName;
    if (!is_token(to)) {
      throw ArgumentError("'" + to + "' is not a valid node name");
    }
    return rule;
  }
  if (from == "__ns") {
    rule.kind = RemapRule::Kind::Namespace;
    if (to.empty() || to.front() != '/' || !is_separated_name(to, '/', true)) {
      throw ArgumentError("'" + to + "' is not a valid absolute namespace");
    }
    return rule;
  }
  static const std::string topic_scheme = "rostopic://";
  static const std::string service_scheme = "rosservice://";
  if (from.rfind(topic_scheme, 0) == 0) {
    rule.from = from.substr(topic_scheme.size());
  } else if (from.rfind(service_scheme, 0) == 0) {
    rule.kind = RemapRule::Kind::Service;
    rule.from = from.substr(service_scheme.size());
  }
  if (!is_topic_name(rule.from)) {
    throw ArgumentError("'" + rule.from + "' is not a valid name to remap");
  }
  if (!is_topic_name(rule.to)) {
    throw ArgumentError("'" + rule.to + "' is not a valid name to remap to");
  }
  return rule;
}

void
parse_param_rule(const std::string & rule_text, std::vector<ParameterOverrideSection> & sections)
{
  const size_t separator = rule_text.find(":=");
  if (separator == std::string::npos) {
    throw ArgumentError("expected 'name:=value'");
  }
  auto [node_name, name] = split_node_prefix(rule_text.substr(0, separator));
  if (node_name && !is_token(*node_name)) {
    throw ArgumentError("'" + *node_name + "' is not a valid node name");
  }
  if (!is_parameter_name(name)) {
    throw ArgumentError("'" + name + "' is not a valid parameter name");
  }
  const std::string value_text = rule_text.substr(separator + 2);
  rclcpp::ParameterValue value;
  try {
    value = parse_yaml_value(value_text, "value '" + value_text + "'");
  } catch (const YamlParameterError & error) {
    throw ArgumentError(error.what());
  }
  // Without a node prefix, -p applies to every node, like a `/**` section.
  const std::string node_key = node_name ? "/" + *node_name : "/**";
  add_parameter_override(
    sections, node_key,
    ParameterOverrideEntry{name, value, "-p " + rule_text});
}

void
check_log_level_rule(const std::string & rule_text)
{
  const size_t separator = rule_text.find(":=");
  std::string level = separator == std::string::npos ? rule_text : rule_text.substr(separator + 2);
  for (char & c : level) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  static const char * const levels[] = {"unset", "debug", "info", "warn", "error", "fatal"};
  for (const char * known : levels) {
    if (level == known) {
      return;
    }
  }
  throw ArgumentError("'" + level + "' is not a log level");
}

/// Record the failure the way rcl does (thread-local rcutils error state), then throw.
[[noreturn]] void
throw_invalid_ros_args(const std::string & message)
{
  rcutils_reset_error();
  RCUTILS_SET_ERROR_MSG(message.c_str());
  rclcpp::exceptions::throw_from_rcl_error(RCL_RET_INVALID_ROS_ARGS);
}

/// ROS flags without a value that only configure logging, which this implementation does not do.
constexpr std::array<const char *, 6> kLoggingFlags = {
  "--enable-rosout-logs", "--disable-rosout-logs", "--enable-stdout-logs",
  "--disable-stdout-logs", "--enable-external-lib-logs", "--disable-external-lib-logs"};

/// `~` and relative names expanded against the node; absolute names unchanged.
std::string
expand_topic_name(
  const std::string & name,
  const std::string & node_name,
  const std::string & node_namespace)
{
  const std::string ns = node_namespace.empty() ? "/" : node_namespace;
  const std::string ns_prefix = ns == "/" ? "" : ns;
  if (name == "~") {
    return ns_prefix + "/" + node_name;
  }
  if (name.rfind("~/", 0) == 0) {
    return ns_prefix + "/" + node_name + name.substr(1);
  }
  if (!name.empty() && name.front() == '/') {
    return name;
  }
  return ns_prefix + "/" + name;
}

}  // namespace

Arguments
Arguments::parse(int argc, char const * const * argv)
{
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    args.emplace_back(argv[i] ? argv[i] : "");
  }
  return parse(args);
}

Arguments
Arguments::parse(const std::vector<std::string> & args)
{
  Arguments result;
  bool in_ros_args = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string & arg = args[i];
    if (!in_ros_args) {
      if (arg == "--ros-args") {
        in_ros_args = true;
      } else {
        result.non_ros_arguments_.push_back(arg);
      }
      continue;
    }
    if (arg == "--ros-args") {
      continue;
    }
    if (arg == "--") {
      in_ros_args = false;
      continue;
    }
    if (std::find(kLoggingFlags.begin(), kLoggingFlags.end(), arg) != kLoggingFlags.end()) {
      continue;
    }

    // Every other ROS flag takes one value.
    const bool is_param = arg == "-p" || arg == "--param";
    const bool is_remap = arg == "-r" || arg == "--remap";
    const bool is_params_file = arg == "--params-file";
    const bool is_log_level = arg == "--log-level";
    const bool is_log_config = arg == "--log-config-file";
    const bool is_enclave = arg == "-e" || arg == "--enclave";
    if (!(is_param || is_remap || is_params_file || is_log_level || is_log_config || is_enclave)) {
      result.unknown_ros_arguments_.push_back(arg);
      continue;
    }
    const char * what = is_param ? "parameter override rule" :
      is_remap ? "remap rule" :
      is_params_file ? "params file" :
      is_log_level ? "log level rule" :
      is_log_config ? "log config file" : "enclave name";
    if (i + 1 >= args.size()) {
      throw_invalid_ros_args(
        "Couldn't parse trailing " + arg + " flag. No " + std::string(what) + " found.");
    }
    const std::string & value = args[++i];
    try {
      if (is_param) {
        parse_param_rule(value, result.parameter_override_sections_);
      } else if (is_remap) {
        result.remap_rules_.push_back(parse_remap_rule(value));
      } else if (is_params_file) {
        parse_parameter_file(value, result.parameter_override_sections_);
        result.parameter_files_.push_back(value);
      } else if (is_log_level) {
        check_log_level_rule(value);
      } else if (is_enclave) {
        if (value.empty()) {
          throw ArgumentError("the enclave name is empty");
        }
        result.enclave_ = value;
      }
    } catch (const std::runtime_error & error) {
      throw_invalid_ros_args(
        "Couldn't parse " + std::string(what) + ": '" + arg + " " + value + "'. Error: " +
        error.what());
    }
  }
  return result;
}

const std::vector<std::string> &
Arguments::non_ros_arguments() const
{
  return non_ros_arguments_;
}

const std::vector<std::string> &
Arguments::unknown_ros_arguments() const
{
  return unknown_ros_arguments_;
}

namespace
{

std::optional<std::string>
first_rule_target(
  const std::vector<RemapRule> & rules,
  RemapRule::Kind kind,
  const std::string & original_node_name)
{
  for (const auto & rule : rules) {
    if (rule.kind != kind) {
      continue;
    }
    if (rule.node_name && *rule.node_name != original_node_name) {
      continue;
    }
    return rule.to;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string>
Arguments::node_name(const std::string & original_node_name) const
{
  return first_rule_target(remap_rules_, RemapRule::Kind::NodeName, original_node_name);
}

std::optional<std::string>
Arguments::node_namespace(const std::string & original_node_name) const
{
  return first_rule_target(remap_rules_, RemapRule::Kind::Namespace, original_node_name);
}

std::optional<std::string>
Arguments::match_topic_remap(
  const std::string & fully_qualified_topic,
  const std::string & node_name,
  const std::string & node_namespace) const
{
  for (const auto & rule : remap_rules_) {
    if (rule.kind != RemapRule::Kind::Topic) {
      continue;
    }
    if (rule.node_name && *rule.node_name != node_name) {
      continue;
    }
    if (expand_topic_name(rule.from, node_name, node_namespace) == fully_qualified_topic) {
      return expand_topic_name(rule.to, node_name, node_namespace);
    }
  }
  return std::nullopt;
}

std::string
Arguments::remap_topic(
  const std::string & fully_qualified_topic,
  const std::string & node_name,
  const std::string & node_namespace) const
{
  return match_topic_remap(fully_qualified_topic, node_name, node_namespace)
         .value_or(fully_qualified_topic);
}

const std::vector<RemapRule> &
Arguments::remap_rules() const
{
  return remap_rules_;
}

const std::vector<ParameterOverrideSection> &
Arguments::parameter_override_sections() const
{
  return parameter_override_sections_;
}

void
Arguments::apply_parameter_overrides(
  const std::string & node_fqn,
  std::map<std::string, rclcpp::ParameterValue> & overrides) const
{
  detail::apply_parameter_overrides(parameter_override_sections_, node_fqn, overrides);
}

const std::vector<std::string> &
Arguments::parameter_files() const
{
  return parameter_files_;
}

const std::optional<std::string> &
Arguments::enclave() const
{
  return enclave_;
}

}  // namespace detail
}  // namespace rclcpp
