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

#include "rclcpp/qos_overriding_options.hpp"

#include <stdexcept>
#include <utility>

namespace rclcpp
{

const char * qos_policy_kind_to_cstr(const QosPolicyKind & qpk)
{
  switch (qpk) {
    case QosPolicyKind::AvoidRosNamespaceConventions: return "avoid_ros_namespace_conventions";
    case QosPolicyKind::Deadline: return "deadline";
    case QosPolicyKind::Depth: return "depth";
    case QosPolicyKind::Durability: return "durability";
    case QosPolicyKind::History: return "history";
    case QosPolicyKind::Lifespan: return "lifespan";
    case QosPolicyKind::Liveliness: return "liveliness";
    case QosPolicyKind::LivelinessLeaseDuration: return "liveliness_lease_duration";
    case QosPolicyKind::Reliability: return "reliability";
    default: throw std::invalid_argument{"unknown QoS policy kind"};
  }
}

std::ostream & operator<<(std::ostream & os, const QosPolicyKind & qpk)
{
  return os << qos_policy_kind_to_cstr(qpk);
}

QosOverridingOptions::QosOverridingOptions(
  std::initializer_list<QosPolicyKind> policy_kinds, QosCallback validation_callback,
  std::string id)
: id_(std::move(id)), policy_kinds_(policy_kinds),
  validation_callback_(std::move(validation_callback))
{}

const std::string & QosOverridingOptions::get_id() const
{
  return id_;
}

const std::vector<QosPolicyKind> & QosOverridingOptions::get_policy_kinds() const
{
  return policy_kinds_;
}

const QosCallback & QosOverridingOptions::get_validation_callback() const
{
  return validation_callback_;
}

QosOverridingOptions QosOverridingOptions::with_default_policies(
  QosCallback validation_callback, std::string id)
{
  return QosOverridingOptions(
    {QosPolicyKind::History, QosPolicyKind::Depth, QosPolicyKind::Reliability},
    std::move(validation_callback), std::move(id));
}

}  // namespace rclcpp
