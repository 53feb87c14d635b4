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

#ifndef RCLCPP__NODE_OPTIONS_HPP_
#define RCLCPP__NODE_OPTIONS_HPP_

#include <string>
#include <vector>

#include "rcl/allocator.h"
#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

/// How a node is created; fluent setters return *this so options can be chained.
class NodeOptions
{
public:
  /// Defaults: global context, no arguments, no overrides, global arguments used, parameter
  /// services and parameter event publisher started, rosout on, intra-process comms off,
  /// topic statistics off, undeclared parameters not allowed, overrides not auto-declared.
  RCLCPP_PUBLIC
  explicit NodeOptions(rcl_allocator_t allocator = rcl_get_default_allocator());

  RCLCPP_PUBLIC
  virtual
  ~NodeOptions() = default;

  RCLCPP_PUBLIC
  NodeOptions(const NodeOptions & other) = default;

  RCLCPP_PUBLIC
  NodeOptions &
  operator=(const NodeOptions & other) = default;

  RCLCPP_PUBLIC
  rclcpp::Context::SharedPtr
  context() const;

  RCLCPP_PUBLIC
  NodeOptions &
  context(rclcpp::Context::SharedPtr context);

  /// Command line style arguments for this node only (e.g. {"--ros-args", "-p", "a:=1"}).
  RCLCPP_PUBLIC
  const std::vector<std::string> &
  arguments() const;

  RCLCPP_PUBLIC
  NodeOptions &
  arguments(const std::vector<std::string> & arguments);

  RCLCPP_PUBLIC
  std::vector<rclcpp::Parameter> &
  parameter_overrides();

  RCLCPP_PUBLIC
  const std::vector<rclcpp::Parameter> &
  parameter_overrides() const;

  RCLCPP_PUBLIC
  NodeOptions &
  parameter_overrides(const std::vector<rclcpp::Parameter> & parameter_overrides);

  template<typename ParameterT>
  NodeOptions &
  append_parameter_override(const std::string & name, const ParameterT & value)
  {
    this->parameter_overrides().emplace_back(name, rclcpp::ParameterValue(value));
    return *this;
  }

  RCLCPP_PUBLIC
  bool
  use_global_arguments() const;

  RCLCPP_PUBLIC
  NodeOptions &
  use_global_arguments(bool use_global_arguments);

  RCLCPP_PUBLIC
  bool
  enable_rosout() const;

  RCLCPP_PUBLIC
  NodeOptions &
  enable_rosout(bool enable_rosout);

  RCLCPP_PUBLIC
  bool
  use_intra_process_comms() const;

  RCLCPP_PUBLIC
  NodeOptions &
  use_intra_process_comms(bool use_intra_process_comms);

  RCLCPP_PUBLIC
  bool
  enable_topic_statistics() const;

  RCLCPP_PUBLIC
  NodeOptions &
  enable_topic_statistics(bool enable_topic_statistics);

  RCLCPP_PUBLIC
  bool
  start_parameter_services() const;

  RCLCPP_PUBLIC
  NodeOptions &
  start_parameter_services(bool start_parameter_services);

  RCLCPP_PUBLIC
  bool
  start_parameter_event_publisher() const;

  RCLCPP_PUBLIC
  NodeOptions &
  start_parameter_event_publisher(bool start_parameter_event_publisher);

  RCLCPP_PUBLIC
  bool
  use_clock_thread() const;

  RCLCPP_PUBLIC
  NodeOptions &
  use_clock_thread(bool use_clock_thread);

  RCLCPP_PUBLIC
  bool
  allow_undeclared_parameters() const;

  RCLCPP_PUBLIC
  NodeOptions &
  allow_undeclared_parameters(bool allow_undeclared_parameters);

  RCLCPP_PUBLIC
  bool
  automatically_declare_parameters_from_overrides() const;

  RCLCPP_PUBLIC
  NodeOptions &
  automatically_declare_parameters_from_overrides(
    bool automatically_declare_parameters_from_overrides);

  RCLCPP_PUBLIC
  const rcl_allocator_t &
  allocator() const;

  RCLCPP_PUBLIC
  NodeOptions &
  allocator(rcl_allocator_t allocator);

private:
  rclcpp::Context::SharedPtr context_;
  std::vector<std::string> arguments_;
  std::vector<rclcpp::Parameter> parameter_overrides_;
  bool use_global_arguments_ = true;
  bool enable_rosout_ = true;
  bool use_intra_process_comms_ = false;
  bool enable_topic_statistics_ = false;
  bool start_parameter_services_ = true;
  bool start_parameter_event_publisher_ = true;
  bool use_clock_thread_ = true;
  bool allow_undeclared_parameters_ = false;
  bool automatically_declare_parameters_from_overrides_ = false;
  rcl_allocator_t allocator_;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_OPTIONS_HPP_
