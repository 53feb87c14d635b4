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

#include "dds_endpoint_qos.hpp"

namespace rclcpp
{
namespace detail
{

dds_wire::WireQos DdsEndpointQos::to_wire(const rclcpp::QoS & qos)
{
  dds_wire::WireQos wire;
  wire.history = qos.history() == HistoryPolicy::KeepAll ?
    dds_wire::WireQos::History::KeepAll : dds_wire::WireQos::History::KeepLast;
  wire.depth = qos.depth();
  wire.reliability = qos.reliability() == ReliabilityPolicy::BestEffort ?
    dds_wire::WireQos::Reliability::BestEffort : dds_wire::WireQos::Reliability::Reliable;
  wire.durability = qos.durability() == DurabilityPolicy::TransientLocal ?
    dds_wire::WireQos::Durability::TransientLocal : dds_wire::WireQos::Durability::Volatile;
  wire.deadline_ns = qos.deadline().nanoseconds();
  wire.lifespan_ns = qos.lifespan().nanoseconds();
  wire.liveliness = qos.liveliness() == LivelinessPolicy::ManualByTopic ?
    dds_wire::WireQos::Liveliness::ManualByTopic : dds_wire::WireQos::Liveliness::Automatic;
  wire.liveliness_lease_duration_ns = qos.liveliness_lease_duration().nanoseconds();
  return wire;
}

dds_wire::QosMapping::DdsQosPtr DdsEndpointQos::make(const rclcpp::QoS & qos)
{
  auto dds_qos = dds_wire::QosMapping::to_dds(to_wire(qos));
  dds_qset_ignorelocal(dds_qos.get(), DDS_IGNORELOCAL_PARTICIPANT);
  return dds_qos;
}

QosPolicyKind DdsEndpointQos::policy_kind(uint32_t dds_policy_id)
{
  switch (dds_policy_id) {
    case DDS_DURABILITY_QOS_POLICY_ID: return QosPolicyKind::Durability;
    case DDS_DEADLINE_QOS_POLICY_ID: return QosPolicyKind::Deadline;
    case DDS_LIVELINESS_QOS_POLICY_ID: return QosPolicyKind::Liveliness;
    case DDS_RELIABILITY_QOS_POLICY_ID: return QosPolicyKind::Reliability;
    case DDS_HISTORY_QOS_POLICY_ID: return QosPolicyKind::History;
    case DDS_LIFESPAN_QOS_POLICY_ID: return QosPolicyKind::Lifespan;
    default: return QosPolicyKind::Invalid;
  }
}

}  // namespace detail
}  // namespace rclcpp
