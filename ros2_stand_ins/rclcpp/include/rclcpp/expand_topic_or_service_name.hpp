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

#ifndef RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_
#define RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_

#include <string>

namespace rclcpp
{

/// The fully qualified form of a topic or service name as written in a node.
///
/// Absolute names ("/a") stay as they are, relative names ("a") go inside the namespace,
/// private names ("~", "~/a") inside the node's own name; "{node}" and "{ns}"/"{namespace}" are
/// substituted. Throws rclcpp::exceptions::InvalidTopicNameError (InvalidServiceNameError when
/// `is_service`) for an invalid name, InvalidNodeNameError / InvalidNamespaceError for an invalid
/// node name or namespace, and exceptions::RCLError for an unknown substitution.
std::string expand_topic_or_service_name(
  const std::string & name,
  const std::string & node_name,
  const std::string & namespace_,
  bool is_service = false);

}  // namespace rclcpp

#endif  // RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_
