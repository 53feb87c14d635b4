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

#ifndef RCLCPP__DETAIL__NAME_VALIDATION_HPP_
#define RCLCPP__DETAIL__NAME_VALIDATION_HPP_

#include <cstddef>
#include <optional>
#include <string>

namespace rclcpp
{
namespace detail
{

/// Why a name is invalid, with the index of the offending character, in the words of rmw/rcl
/// (users search for these messages).
struct NameError
{
  std::string message;
  size_t index;
};

/// Node names: alphanumerics and '_', not starting with a digit, at most 255 characters.
std::optional<NameError> validate_node_name(const std::string & node_name);

/// Absolute namespaces such as "/" or "/a/b".
std::optional<NameError> validate_namespace(const std::string & namespace_);

/// Fully qualified, already expanded topic names such as "/a/b".
std::optional<NameError> validate_full_topic_name(const std::string & topic_name);

/// Topic names as users write them: relative, absolute or private ("~/x"), with substitutions.
std::optional<NameError> validate_topic_name(const std::string & topic_name);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__NAME_VALIDATION_HPP_
