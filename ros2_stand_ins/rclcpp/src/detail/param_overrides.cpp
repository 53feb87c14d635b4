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

#include "rclcpp/detail/param_overrides.hpp"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace detail
{

void
add_parameter_override(
  std::vector<ParameterOverrideSection> & sections,
  const std::string & node_key,
  ParameterOverrideEntry entry)
{
  auto section = std::find_if(
    sections.begin(), sections.end(),
    [&node_key](const ParameterOverrideSection & candidate) {
      return candidate.node_key == node_key;
    });
  if (section == sections.end()) {
    sections.push_back(ParameterOverrideSection{node_key, {}});
    section = std::prev(sections.end());
  }
  auto existing = std::find_if(
    section->entries.begin(), section->entries.end(),
    [&entry](const ParameterOverrideEntry & candidate) {return candidate.name == entry.name;});
  if (existing == section->entries.end()) {
    section->entries.push_back(std::move(entry));
  } else {
    *existing = std::move(entry);
  }
}

bool
node_key_matches(const std::string & node_key, const std::string & node_fqn)
{
  // "/*" stands for exactly one name, "/**" for any number of them (it reads as "/*"
  // repeated); everything else must match literally.
  std::string pattern;
  for (size_t i = 0; i < node_key.size(); ++i) {
    const char c = node_key[i];
    if (c == '/' && i + 1 < node_key.size() && node_key[i + 1] == '*') {
      pattern += "(/\\w+)";
      ++i;
    } else if (c == '*') {
      pattern += '*';
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '/') {
      pattern += c;
    } else {
      pattern += '\\';
      pattern += c;
    }
  }
  return std::regex_match(node_fqn, std::regex(pattern));
}

void
apply_parameter_overrides(
  const std::vector<ParameterOverrideSection> & sections,
  const std::string & node_fqn,
  std::map<std::string, rclcpp::ParameterValue> & overrides)
{
  for (const auto & section : sections) {
    if (!node_key_matches(section.node_key, node_fqn)) {
      continue;
    }
    for (const auto & entry : section.entries) {
      if (entry.value.get_type() == rclcpp::PARAMETER_NOT_SET) {
        throw rclcpp::exceptions::InvalidParametersException(
                "No parameter value set for parameter '" + entry.name + "' of node '" + node_fqn +
                "' (from " + entry.source + "): an empty list has no element type");
      }
      overrides[entry.name] = entry.value;
    }
  }
}

}  // namespace detail
}  // namespace rclcpp
