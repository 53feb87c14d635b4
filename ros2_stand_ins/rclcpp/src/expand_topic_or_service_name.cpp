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

#include "rclcpp/expand_topic_or_service_name.hpp"

#include <map>
#include <stdexcept>

#include "rclcpp/detail/name_validation.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace
{

[[noreturn]] void throw_name_error(
  const std::string & name, const detail::NameError & error, bool is_service)
{
  if (is_service) {
    throw exceptions::InvalidServiceNameError(name.c_str(), error.message.c_str(), error.index);
  }
  throw exceptions::InvalidTopicNameError(name.c_str(), error.message.c_str(), error.index);
}

std::string substitute(
  const std::string & name, const std::map<std::string, std::string> & substitutions)
{
  std::string result;
  size_t position = 0;
  while (position < name.size()) {
    const size_t open = name.find('{', position);
    if (open == std::string::npos) {
      result += name.substr(position);
      break;
    }
    const size_t close = name.find('}', open);  // balanced: validated before
    const std::string key = name.substr(open + 1, close - open - 1);
    auto found = substitutions.find(key);
    if (found == substitutions.end()) {
      // What Humble's rclcpp says once rcl has refused the substitution but found the name
      // itself well formed.
      throw std::runtime_error("topic name unexpectedly valid");
    }
    result += name.substr(position, open - position) + found->second;
    position = close + 1;
  }
  return result;
}

}  // namespace

std::string expand_topic_or_service_name(
  const std::string & name,
  const std::string & node_name,
  const std::string & namespace_,
  bool is_service)
{
  if (auto error = detail::validate_node_name(node_name)) {
    throw exceptions::InvalidNodeNameError(
            node_name.c_str(), error->message.c_str(), error->index);
  }
  if (auto error = detail::validate_namespace(namespace_)) {
    throw exceptions::InvalidNamespaceError(
            namespace_.c_str(), error->message.c_str(), error->index);
  }
  if (auto error = detail::validate_topic_name(name)) {
    throw_name_error(name, *error, is_service);
  }

  const std::string namespace_prefix = namespace_ == "/" ? "" : namespace_;
  const std::string node_fqn = namespace_prefix + "/" + node_name;
  std::string expanded;
  if (name[0] == '/') {
    expanded = name;
  } else if (name[0] == '~') {
    expanded = node_fqn + name.substr(1);
  } else {
    expanded = namespace_prefix + "/" + name;
  }
  expanded = substitute(
    expanded, {{"node", node_name}, {"ns", namespace_}, {"namespace", namespace_}});

  if (auto error = detail::validate_full_topic_name(expanded)) {
    throw_name_error(expanded, *error, is_service);
  }
  return expanded;
}

}  // namespace rclcpp
