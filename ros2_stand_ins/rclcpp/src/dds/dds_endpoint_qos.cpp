// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
  return wire;
}

dds_wire::QosMapping::DdsQosPtr DdsEndpointQos::make(const rclcpp::QoS & qos)
{
  auto dds_qos = dds_wire::QosMapping::to_dds(to_wire(qos));
  dds_qset_ignorelocal(dds_qos.get(), DDS_IGNORELOCAL_PARTICIPANT);
  return dds_qos;
}

}  // namespace detail
}  // namespace rclcpp
