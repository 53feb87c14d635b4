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

#ifndef RCLCPP__INIT_OPTIONS_HPP_
#define RCLCPP__INIT_OPTIONS_HPP_

#include <cstddef>
#include <cstdint>

#include "rcl/allocator.h"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

/// Options for rclcpp::init() / Context::init().
class InitOptions
{
public:
  /// If true (the default), the signal handlers shut the context down on SIGINT/SIGTERM.
  bool shutdown_on_signal = true;

  RCLCPP_PUBLIC
  explicit InitOptions(rcl_allocator_t allocator = rcl_get_default_allocator());

  RCLCPP_PUBLIC
  virtual ~InitOptions() = default;

  RCLCPP_PUBLIC
  InitOptions(const InitOptions & other) = default;

  RCLCPP_PUBLIC
  InitOptions & operator=(const InitOptions & other) = default;

  RCLCPP_PUBLIC
  bool
  auto_initialize_logging() const;

  RCLCPP_PUBLIC
  InitOptions &
  auto_initialize_logging(bool initialize_logging);

  /// Takes the domain id ROS_DOMAIN_ID names now, as rcl reads it (strtoul, any base); an
  /// unset or empty variable means SIZE_MAX again. Throws exceptions::RCLError for a value
  /// that is no number.
  RCLCPP_PUBLIC
  void
  use_default_domain_id();

  RCLCPP_PUBLIC
  void
  set_domain_id(size_t domain_id);

  /// The domain id set, or SIZE_MAX (rcl's "default": the one ROS_DOMAIN_ID names when the
  /// context is initialized) if none was.
  RCLCPP_PUBLIC
  size_t
  get_domain_id() const;

  RCLCPP_PUBLIC
  const rcl_allocator_t &
  get_allocator() const;

private:
  rcl_allocator_t allocator_;
  bool initialize_logging_ = true;
  size_t domain_id_ = SIZE_MAX;
};

}  // namespace rclcpp

#endif  // RCLCPP__INIT_OPTIONS_HPP_
