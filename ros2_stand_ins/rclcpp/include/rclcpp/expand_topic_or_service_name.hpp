// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
