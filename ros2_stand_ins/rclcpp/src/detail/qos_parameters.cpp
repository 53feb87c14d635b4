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

#include "rclcpp/detail/qos_parameters.hpp"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <string>

#include "rcl/types.h"
#include "rcutils/error_handling.h"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace detail
{
namespace
{

// In the order Humble declares them.
constexpr QosPolicyKind kPublisherPolicies[] = {
  QosPolicyKind::AvoidRosNamespaceConventions, QosPolicyKind::Deadline,
  QosPolicyKind::Durability, QosPolicyKind::History, QosPolicyKind::Depth,
  QosPolicyKind::Lifespan, QosPolicyKind::Liveliness, QosPolicyKind::LivelinessLeaseDuration,
  QosPolicyKind::Reliability};

/// The one of `values` that `qos_policy_name` calls `name`.
template<typename PolicyT>
PolicyT policy_from_name(
  const std::string & name, std::initializer_list<PolicyT> values, const char * policy)
{
  for (const auto value : values) {
    if (qos_policy_name(value) == name) {
      return value;
    }
  }
  throw std::invalid_argument{
          std::string("unknown QoS policy ") + policy + " value: " + name};
}

template<typename PolicyT>
rclcpp::ParameterValue policy_value(PolicyT value, QosPolicyKind kind)
{
  const std::string name = qos_policy_name(value);
  if (name == "unknown") {
    throw std::invalid_argument{
            std::string("unknown value for policy kind {") + qos_policy_kind_to_cstr(kind) + "}"};
  }
  return rclcpp::ParameterValue(name);
}

rclcpp::ParameterValue default_value(QosPolicyKind kind, const rclcpp::QoS & qos)
{
  switch (kind) {
    case QosPolicyKind::AvoidRosNamespaceConventions:
      return rclcpp::ParameterValue(qos.avoid_ros_namespace_conventions());
    case QosPolicyKind::Deadline:
      return rclcpp::ParameterValue(qos.deadline().nanoseconds());
    case QosPolicyKind::Durability:
      return policy_value(qos.durability(), kind);
    case QosPolicyKind::History:
      return policy_value(qos.history(), kind);
    case QosPolicyKind::Depth:
      return rclcpp::ParameterValue(static_cast<int64_t>(qos.depth()));
    case QosPolicyKind::Lifespan:
      return rclcpp::ParameterValue(qos.lifespan().nanoseconds());
    case QosPolicyKind::Liveliness:
      return policy_value(qos.liveliness(), kind);
    case QosPolicyKind::LivelinessLeaseDuration:
      return rclcpp::ParameterValue(qos.liveliness_lease_duration().nanoseconds());
    case QosPolicyKind::Reliability:
      return policy_value(qos.reliability(), kind);
    default:
      throw std::invalid_argument{"unknown QoS policy kind"};
  }
}

void apply(QosPolicyKind kind, const rclcpp::ParameterValue & value, rclcpp::QoS & qos)
{
  switch (kind) {
    case QosPolicyKind::AvoidRosNamespaceConventions:
      qos.avoid_ros_namespace_conventions(value.get<bool>());
      break;
    case QosPolicyKind::Deadline:
      qos.deadline(rclcpp::Duration::from_nanoseconds(value.get<int64_t>()));
      break;
    case QosPolicyKind::Durability:
      qos.durability(
        policy_from_name(
          value.get<std::string>(),
          {DurabilityPolicy::SystemDefault, DurabilityPolicy::TransientLocal,
            DurabilityPolicy::Volatile}, "durability"));
      break;
    case QosPolicyKind::History:
      qos.history(
        policy_from_name(
          value.get<std::string>(),
          {HistoryPolicy::SystemDefault, HistoryPolicy::KeepLast, HistoryPolicy::KeepAll},
          "history"));
      break;
    case QosPolicyKind::Depth: {
        // Only the depth: a keep-all history stays keep all. A negative depth wraps, as in
        // Humble, and is refused when the entity is made.
        const auto history = qos.history();
        qos.keep_last(static_cast<size_t>(value.get<int64_t>())).history(history);
        break;
      }
    case QosPolicyKind::Lifespan:
      qos.lifespan(rclcpp::Duration::from_nanoseconds(value.get<int64_t>()));
      break;
    case QosPolicyKind::Liveliness:
      qos.liveliness(
        policy_from_name(
          value.get<std::string>(),
          {LivelinessPolicy::SystemDefault, LivelinessPolicy::Automatic,
            LivelinessPolicy::ManualByTopic}, "liveliness"));
      break;
    case QosPolicyKind::LivelinessLeaseDuration:
      qos.liveliness_lease_duration(rclcpp::Duration::from_nanoseconds(value.get<int64_t>()));
      break;
    case QosPolicyKind::Reliability:
      qos.reliability(
        policy_from_name(
          value.get<std::string>(),
          {ReliabilityPolicy::SystemDefault, ReliabilityPolicy::Reliable,
            ReliabilityPolicy::BestEffort}, "reliability"));
      break;
    default:
      throw std::invalid_argument{"unknown QosPolicyKind"};
  }
}

}  // namespace

rclcpp::QoS declare_qos_parameters(
  const rclcpp::QosOverridingOptions & options,
  rclcpp::node_interfaces::NodeParametersInterface & parameters,
  const std::string & topic_name, const rclcpp::QoS & default_qos, QosEntityKind entity)
{
  const std::string entity_type =
    entity == QosEntityKind::Publisher ? "publisher" : "subscription";
  const std::string & id = options.get_id();
  const std::string name_prefix =
    "qos_overrides." + topic_name + "." + entity_type + (id.empty() ? "" : "_" + id) + ".";
  const std::string description_suffix =
    "} for " + entity_type + " {" + topic_name + "}" +
    (id.empty() ? "" : " with id {" + id + "}");
  const auto & wanted = options.get_policy_kinds();

  rclcpp::QoS qos = default_qos;
  for (const QosPolicyKind kind : kPublisherPolicies) {
    if (std::find(wanted.begin(), wanted.end(), kind) == wanted.end() ||
      (kind == QosPolicyKind::Lifespan && entity == QosEntityKind::Subscription))
    {
      continue;
    }
    const std::string policy = qos_policy_kind_to_cstr(kind);
    rcl_interfaces::msg::ParameterDescriptor descriptor;
    descriptor.description = "qos policy {" + policy + description_suffix;
    descriptor.read_only = true;
    rclcpp::ParameterValue value;
    try {
      value = parameters.declare_parameter(
        name_prefix + policy, default_value(kind, qos), descriptor);
    } catch (const rclcpp::exceptions::ParameterAlreadyDeclaredException &) {
      value = parameters.get_parameter(name_prefix + policy).get_parameter_value();
    }
    apply(kind, value, qos);
  }
  const auto & validation_callback = options.get_validation_callback();
  if (validation_callback) {
    const auto result = validation_callback(qos);
    if (!result.successful) {
      throw rclcpp::exceptions::InvalidQosOverridesException{
              "validation callback failed: " + result.reason};
    }
  }
  return qos;
}

void throw_unless_depth_supported(const rclcpp::QoS & qos, const char * entity)
{
  if (qos.history() != HistoryPolicy::KeepAll &&
    qos.depth() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
  {
    RCUTILS_SET_ERROR_MSG("unsupported history depth");
    exceptions::throw_from_rcl_error(RCL_RET_ERROR, std::string("could not create ") + entity);
  }
}

}  // namespace detail
}  // namespace rclcpp
