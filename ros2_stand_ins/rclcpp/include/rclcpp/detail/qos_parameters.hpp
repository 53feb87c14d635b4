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

#ifndef RCLCPP__DETAIL__QOS_PARAMETERS_HPP_
#define RCLCPP__DETAIL__QOS_PARAMETERS_HPP_

#include <string>

#include "rclcpp/node_interfaces/node_parameters_interface.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/qos_overriding_options.hpp"

namespace rclcpp
{
namespace detail
{

enum class QosEntityKind {Publisher, Subscription};

/// Declares, for each policy `options` names that the entity kind has (a subscription has no
/// lifespan), the read-only parameter `qos_overrides.<topic_name>.<publisher|subscription>
/// [_<id>].<policy>` with `default_qos`'s value as default, and returns `default_qos` with the
/// parameters' values applied; then runs the options' validation callback on it. A parameter
/// declared before (by an entity of the same topic, kind and id, or from overrides) is read.
/// \throws std::invalid_argument "unknown QoS policy <policy> value: <value>"
/// \throws exceptions::InvalidParameterTypeException for an override of the wrong type
/// \throws exceptions::InvalidQosOverridesException "validation callback failed: <reason>"
rclcpp::QoS declare_qos_parameters(
  const rclcpp::QosOverridingOptions & options,
  rclcpp::node_interfaces::NodeParametersInterface & parameters,
  const std::string & topic_name, const rclcpp::QoS & default_qos, QosEntityKind entity);

/// Refuses a keep-last depth the middleware cannot keep (beyond INT32_MAX, as a negative depth
/// override becomes): exceptions::RCLError "could not create <entity>: unsupported history
/// depth".
void throw_unless_depth_supported(const rclcpp::QoS & qos, const char * entity);

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__QOS_PARAMETERS_HPP_
