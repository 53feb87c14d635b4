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

#ifndef DDS__DDS_ENDPOINT_QOS_HPP_
#define DDS__DDS_ENDPOINT_QOS_HPP_

#include <cstdint>

#include "dds_wire/qos_mapping.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/qos_overriding_options.hpp"

namespace rclcpp
{
namespace detail
{

/// The Cyclone QoS of one of our readers or writers.
class DdsEndpointQos
{
public:
  /// rclcpp's profile, one to one; "system default" policies take rclcpp's defaults (keep
  /// last, reliable, volatile), which is what Humble's default profile puts on the wire.
  static dds_wire::WireQos to_wire(const rclcpp::QoS & qos);

  /// to_wire() as Cyclone QoS, plus: ignore endpoints of our own participant. Same-process
  /// traffic goes through the in-process path, so DDS must not deliver it a second time.
  static dds_wire::QosMapping::DdsQosPtr make(const rclcpp::QoS & qos);

  /// The policy a Cyclone incompatible-QoS status names, as rmw_cyclonedds reports it
  /// (Invalid for those ROS does not know).
  static QosPolicyKind policy_kind(uint32_t dds_policy_id);
};

}  // namespace detail
}  // namespace rclcpp

#endif  // DDS__DDS_ENDPOINT_QOS_HPP_
