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

#ifndef RCLCPP__QOS_OVERRIDING_OPTIONS_HPP_
#define RCLCPP__QOS_OVERRIDING_OPTIONS_HPP_

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/qos.hpp"

namespace rclcpp
{

// The numeric values are rmw's policy kind bits, so they print and compare as on a real install.
enum class QosPolicyKind
{
  AvoidRosNamespaceConventions = 1 << 9,
  Deadline = 1 << 2,
  Depth = 1 << 7,
  Durability = 1 << 1,
  History = 1 << 5,
  Lifespan = 1 << 6,
  Liveliness = 1 << 3,
  LivelinessLeaseDuration = 1 << 8,
  Reliability = 1 << 4,
  Invalid = 1 << 0,
};

/// The policy's name as parameter names use it ("reliability", "liveliness_lease_duration", ...).
/// Throws std::invalid_argument "unknown QoS policy kind" for Invalid or any other value.
const char * qos_policy_kind_to_cstr(const QosPolicyKind & qpk);

std::ostream & operator<<(std::ostream & os, const QosPolicyKind & qpk);

using QosCallbackResult = rcl_interfaces::msg::SetParametersResult;
using QosCallback = std::function<QosCallbackResult(const rclcpp::QoS &)>;

/// Which QoS policies of a publisher or subscription may be overridden by read-only parameters
/// `qos_overrides.<topic>.<publisher|subscription>[_<id>].<policy>`, given at start-up; an
/// optional callback then accepts or refuses the resulting profile. The id tells two entities
/// of one topic apart. Default-constructed: nothing may be overridden, no parameter exists.
class QosOverridingOptions
{
public:
  QosOverridingOptions() = default;

  /// Implicit, so that `{{QosPolicyKind::Reliability}, callback, "id"}` reads as options.
  QosOverridingOptions(
    // NOLINT(runtime/explicit)
    std::initializer_list<QosPolicyKind> policy_kinds,
    QosCallback validation_callback = nullptr,
    std::string id = {});

  const std::string & get_id() const;
  const std::vector<QosPolicyKind> & get_policy_kinds() const;
  const QosCallback & get_validation_callback() const;

  /// History, depth and reliability.
  static QosOverridingOptions
  with_default_policies(QosCallback validation_callback = nullptr, std::string id = {});

private:
  std::string id_;
  std::vector<QosPolicyKind> policy_kinds_;
  QosCallback validation_callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__QOS_OVERRIDING_OPTIONS_HPP_
