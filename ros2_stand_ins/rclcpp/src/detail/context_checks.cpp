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

#include "rclcpp/detail/context_checks.hpp"

#include <string>

#include "rcl/types.h"
#include "rcutils/error_handling.h"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace detail
{

void throw_unless_guard_condition_possible(const rclcpp::Context & context, const char * what)
{
  if (!was_initialized(context)) {
    // rcl gets no context at all from one that was never initialized.
    RCUTILS_SET_ERROR_MSG("context argument is null");
    exceptions::throw_from_rcl_error(RCL_RET_INVALID_ARGUMENT, what);
  }
  if (!context.is_valid()) {
    RCUTILS_SET_ERROR_MSG(
      "the given context is not valid, either rcl_init() was not called or rcl_shutdown() "
      "was called.");
    exceptions::throw_from_rcl_error(RCL_RET_NOT_INIT, what);
  }
}

void throw_unless_node_context_valid(const rclcpp::Context & context, const char * entity)
{
  if (!context.is_valid()) {
    RCUTILS_SET_ERROR_MSG("rcl node's context is invalid");
    exceptions::throw_from_rcl_error(
      RCL_RET_NODE_INVALID, std::string("could not create ") + entity);
  }
}

}  // namespace detail
}  // namespace rclcpp
