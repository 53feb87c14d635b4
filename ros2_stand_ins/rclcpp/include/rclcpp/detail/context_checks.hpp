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

#ifndef RCLCPP__DETAIL__CONTEXT_CHECKS_HPP_
#define RCLCPP__DETAIL__CONTEXT_CHECKS_HPP_

#include "rclcpp/context.hpp"

namespace rclcpp
{
namespace detail
{

/// What a node or an executor meets when its context is not initialized or already shut down:
/// Humble makes each of them a guard condition first, which rcl refuses. Throws
/// exceptions::RCLInvalidArgument "failed to create guard condition: context argument is null"
/// for a context never initialized, exceptions::RCLError "failed to create guard condition: the
/// given context is not valid, ..." for one shut down. A timer meets the same, under its own
/// `what`.
void throw_unless_guard_condition_possible(
  const rclcpp::Context & context, const char * what = "failed to create guard condition");

/// What creating a publisher, subscription or service of a node meets once the node's context
/// has been shut down (a signal during start-up, typically). Throws exceptions::RCLError
/// "could not create <entity>: rcl node's context is invalid".
void throw_unless_node_context_valid(const rclcpp::Context & context, const char * entity);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__CONTEXT_CHECKS_HPP_
