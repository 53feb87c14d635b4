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

#ifndef DDS_WIRE__QOS_MAPPING_HPP_
#define DDS_WIRE__QOS_MAPPING_HPP_

#include <cstddef>
#include <cstdint>
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
  enum class Liveliness {Automatic, ManualByTopic};

  History history = History::KeepLast;
  size_t depth = 10;
  Reliability reliability = Reliability::Reliable;
  Durability durability = Durability::Volatile;
  // Durations in nanoseconds: 0 leaves the policy unspecified (DDS's infinite default),
  // INT64_MAX is infinite.
  int64_t deadline_ns = 0;
  int64_t lifespan_ns = 0;
  Liveliness liveliness = Liveliness::Automatic;
  int64_t liveliness_lease_duration_ns = 0;
};

/// Maps ROS QoS to Cyclone QoS one to one, as rmw_cyclonedds does in Humble, so our endpoints
/// match (or refuse to match) real ROS 2 endpoints exactly as theirs would.
class QosMapping
{
public:
  using DdsQosPtr = std::unique_ptr<dds_qos_t, void (*)(dds_qos_t *)>;

  /// Keep last `depth` (at least 1: DDS has no keep-last-0) or keep all; reliable with an
  /// infinite max blocking time or best effort; volatile or transient local; deadline and
  /// lifespan when specified; automatic or manual-by-topic liveliness with the lease (infinite
  /// when unspecified). Also what ROS 2 always sets: no autodispose of unregistered instances
  /// and classic CDR (XCDR1) as the only data representation.
  static DdsQosPtr to_dds(const WireQos & qos);
};

}  // namespace dds_wire

#endif  // DDS_WIRE__QOS_MAPPING_HPP_
