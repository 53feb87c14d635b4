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

#include "rclcpp/detail/name_validation.hpp"

#include <cctype>

namespace rclcpp
{
namespace detail
{
namespace
{

constexpr size_t kNodeNameMaxLength = 255;
// DDS topic names carry a prefix such as "rt", which the ROS name must leave room for.
constexpr size_t kTopicMaxLength = 255 - 8;
constexpr size_t kNamespaceMaxLength = kTopicMaxLength - 2;

bool is_name_character(char c)
{
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool is_digit(char c)
{
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

/// The checks shared by full topic names and namespaces, which differ only in wording.
struct FullNameMessages
{
  const char * empty;
  const char * not_absolute;
  const char * ends_with_slash;
  const char * unallowed_character;
  const char * repeated_slash;
  const char * token_starts_with_number;
  std::string too_long;
  size_t max_length;
};

std::optional<NameError> validate_full_name(
  const std::string & name, const FullNameMessages & messages, bool allow_root)
{
  if (name.empty()) {
    return NameError{messages.empty, 0};
  }
  if (name[0] != '/') {
    return NameError{messages.not_absolute, 0};
  }
  if (allow_root && name == "/") {
    return std::nullopt;
  }
  if (name.back() == '/') {
    return NameError{messages.ends_with_slash, name.size() - 1};
  }
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '/' && !is_name_character(name[i])) {
      return NameError{messages.unallowed_character, i};
    }
  }
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] == '/' && name[i - 1] == '/') {
      return NameError{messages.repeated_slash, i};
    }
    if (name[i - 1] == '/' && is_digit(name[i])) {
      return NameError{messages.token_starts_with_number, i};
    }
  }
  if (name.size() > messages.max_length) {
    return NameError{messages.too_long, messages.max_length - 1};
  }
  return std::nullopt;
}

}  // namespace

std::optional<NameError> validate_node_name(const std::string & node_name)
{
  if (node_name.empty()) {
    return NameError{"node name must not be empty", 0};
  }
  for (size_t i = 0; i < node_name.size(); ++i) {
    if (!is_name_character(node_name[i])) {
      return NameError{
        "node name must not contain characters other than alphanumerics or '_'", i};
    }
  }
  if (is_digit(node_name[0])) {
    return NameError{"node name must not start with a number", 0};
  }
  if (node_name.size() > kNodeNameMaxLength) {
    return NameError{
      "node name length should not exceed '" + std::to_string(kNodeNameMaxLength) + "'",
      kNodeNameMaxLength - 1};
  }
  return std::nullopt;
}

std::optional<NameError> validate_namespace(const std::string & namespace_)
{
  static const FullNameMessages messages{
    "namespace must not be empty",
    "namespace must be absolute, it must lead with a '/'",
    "namespace must not end with a '/', unless only a '/'",
    "namespace must not contain characters other than alphanumerics, '_', or '/'",
    "namespace must not contain repeated '/'",
    "namespace must not have a token that starts with a number",
    "namespace should not exceed '" + std::to_string(kNamespaceMaxLength) + "'",
    kNamespaceMaxLength};
  return validate_full_name(namespace_, messages, true);
}

std::optional<NameError> validate_full_topic_name(const std::string & topic_name)
{
  static const FullNameMessages messages{
    "topic name must not be empty",
    "topic name must be absolute, it must lead with a '/'",
    "topic name must not end with a forward slash",
    "topic name must not contain characters other than alphanumerics, '_', or '/'",
    "topic name must not contain repeated '/'",
    "topic name must not have a token that starts with a number",
    "topic length should not exceed '" + std::to_string(kTopicMaxLength) + "'",
    kTopicMaxLength};
  return validate_full_name(topic_name, messages, false);
}

std::optional<NameError> validate_topic_name(const std::string & topic_name)
{
  if (topic_name.empty()) {
    return NameError{"topic name must not be empty string", 0};
  }
  if (topic_name.back() == '/') {
    return NameError{"topic name must not end with a forward slash", topic_name.size() - 1};
  }
  std::optional<size_t> open_brace;
  for (size_t i = 0; i < topic_name.size(); ++i) {
    const char c = topic_name[i];
    if (open_brace) {
      if (c == '}') {
        open_brace.reset();
      } else if (!is_name_character(c)) {
        return NameError{"topic name substitutions must only contain alphanumerics and '_'", i};
      } else if (i == *open_brace + 1 && is_digit(c)) {
        return NameError{"topic name substitutions must not start with a number", i};
      }
      continue;
    }
    if (is_name_character(c) || c == '/') {
      continue;
    }
    if (c == '~') {
      if (i != 0) {
        return NameError{
          "topic name must not have tilde '~' unless it is the first character", i};
      }
      // rcl skips this check when the tilde is followed by a single character, so Humble takes
      // "~x" (as the node's name plus "x") and refuses "~xy"; so do we.
      if (topic_name.size() > 2 && topic_name[1] != '/') {
        return NameError{
          "topic name must not have a tilde '~' that is not followed by a forward slash '/'", 1};
      }
      continue;
    }
    if (c == '{') {
      open_brace = i;
      continue;
    }
    if (c == '}') {
      return NameError{"topic name must not have unmatched (unbalanced) curly braces '{}'", i};
    }
    return NameError{
      "topic name must not contain characters other than alphanumerics, '_', '~', '{', or '}'",
      i};
  }
  if (open_brace) {
    return NameError{
      "topic name must not have unmatched (unbalanced) curly braces '{}'", *open_brace};
  }
  for (size_t i = 0; i < topic_name.size(); ++i) {
    const bool token_start = i == 0 || topic_name[i - 1] == '/';
    if (token_start && is_digit(topic_name[i])) {
      return NameError{"topic name token must not start with a number", i};
    }
  }
  return std::nullopt;
}

}  // namespace detail
}  // namespace rclcpp
