// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
