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

#ifndef DDS__DDS_GRAPH_INFO_HPP_
#define DDS__DDS_GRAPH_INFO_HPP_

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dds/dds.h"
#include "rclcpp/detail/transport.hpp"
#include "rmw_dds_common/msg/gid.hpp"
#include "rmw_dds_common/msg/participant_entities_info.hpp"

namespace rclcpp
{
namespace detail
{

/// What our participant tells the ROS graph on "ros_discovery_info", as Humble's
/// rmw_cyclonedds does: its gid, its nodes, and which of its DDS readers and writers belong to
/// which node. DDS discovery alone shows endpoints but not nodes, so without this Humble's
/// `ros2 node list` would not show ours (and `ros2 param` would not find them).
///
/// Every change republishes the whole picture; the writer is transient local with depth 1, so
/// a graph tool started later gets the latest one.
class DdsGraphInfo : public std::enable_shared_from_this<DdsGraphInfo>
{
public:
  enum class EndpointKind {Reader, Writer};

  /// Throws std::runtime_error with Cyclone's reason if the writer cannot be created.
  explicit DdsGraphInfo(dds_entity_t participant);
  ~DdsGraphInfo();

  DdsGraphInfo(const DdsGraphInfo &) = delete;
  DdsGraphInfo & operator=(const DdsGraphInfo &) = delete;

  /// Lists the node until the last copy of the result is gone.
  NodeRegistration add_node(const std::string & node_namespace, const std::string & node_name);

  /// Lists `entity` among the readers or writers of `node` (a result of add_node) until the
  /// last copy of the result is gone; it keeps the node listed that long too. A null `node`
  /// (an endpoint of no node, such as a clock subscription of a time source) lists nothing.
  std::shared_ptr<void> add_endpoint(
    const NodeRegistration & node, EndpointKind kind, dds_entity_t entity);

  /// Stops publishing: for when the participant leaves the domain while entries are still held.
  void close();

  /// The gid rmw_cyclonedds gives a DDS entity: its 16-byte GUID, then zeros.
  static rmw_dds_common::msg::Gid gid_of(dds_entity_t entity);

private:
  struct NodeEntry
  {
    uint64_t id;
    rmw_dds_common::msg::NodeEntitiesInfo info;
  };
  class NodeToken;
  class EndpointToken;

  void remove_node(uint64_t node_id);
  void change_endpoint(
    uint64_t node_id, EndpointKind kind, const rmw_dds_common::msg::Gid & gid, bool add);
  /// Sends the current picture; `mutex_` held.
  void publish_locked();

  std::mutex mutex_;
  dds_entity_t topic_ = 0;
  dds_entity_t writer_ = 0;
  rmw_dds_common::msg::Gid participant_gid_;
  std::vector<NodeEntry> nodes_;
  uint64_t next_node_id_ = 1;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // DDS__DDS_GRAPH_INFO_HPP_
