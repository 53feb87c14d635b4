#ifndef DDS_WIRE__QOS_MAPPING_HPP_
#define DDS_WIRE__QOS_MAPPING_HPP_

#include <cstddef>
#include <memory>

#include "dds/dds.h"

namespace dds_wire
{

/// The QoS settings ROS 2 exposes for a topic endpoint, free of rclcpp types so the wire layer
/// does not depend on the client library.
struct WireQos
{
  enum class History {KeepLast, KeepAll};
  enum class Reliability {Reliable, BestEffort};
  enum class Durability {Volatile, TransientLocal};

  History history = History::KeepLast;
  size_t depth = 10;
  Reliability reliability = Reliability::Reliable;
  Durability durability = Durability::Volatile;
};

/// Maps ROS QoS to Cyclone QoS one to one, as rmw_cyclonedds does in Humble, so our endpoints
/// match (or refuse to match) real ROS 2 endpoints exactly as theirs would.
class QosMapping
{
public:
  using DdsQosPtr = std::unique_ptr<dds_qos_t, void (*)(dds_qos_t *)>;

  /// Keep last `depth` (at least 1: DDS has no keep-last-0) or keep all; reliable with an
  /// infinite max blocking time or best effort; volatile or transient local. Also what ROS 2
  /// always sets: no autodispose of unregistered instances, automatic liveliness, and classic
  /// CDR (XCDR1) as the only data representation.
  static DdsQosPtr to_dds(const WireQos & qos);
};

}  // namespace dds_wire

#endif  // DDS_WIRE__QOS_MAPPING_HPP_
