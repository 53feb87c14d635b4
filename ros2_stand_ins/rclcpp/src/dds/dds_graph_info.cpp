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

#include "dds_graph_info.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include "dds_endpoint_qos.hpp"
#include "dds_wire/ros_sertype.hpp"
#include "rcutils/logging_macros.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

namespace rclcpp
{
namespace detail
{

namespace
{
// No "rt/" prefix: it is not a ROS topic, and ROS tools never show it.
constexpr char kTopicName[] = "ros_discovery_info";
}  // namespace

/// Keeps one node listed while held.
class DdsGraphInfo::NodeToken
{
public:
  NodeToken(std::shared_ptr<DdsGraphInfo> graph, uint64_t id)
  : graph_(std::move(graph)), id_(id) {}
  ~NodeToken() {graph_->remove_node(id_);}

  NodeToken(const NodeToken &) = delete;
  NodeToken & operator=(const NodeToken &) = delete;

  const DdsGraphInfo * graph() const {return graph_.get();}
  uint64_t id() const {return id_;}

private:
  std::shared_ptr<DdsGraphInfo> graph_;
  uint64_t id_;
};

/// Keeps one reader or writer listed under its node, and the node with it, while held.
class DdsGraphInfo::EndpointToken
{
public:
  EndpointToken(
    std::shared_ptr<DdsGraphInfo> graph, NodeRegistration node, uint64_t node_id,
    EndpointKind kind, rmw_dds_common::msg::Gid gid)
  : graph_(std::move(graph)), node_(std::move(node)), node_id_(node_id), kind_(kind),
    gid_(std::move(gid))
  {
    graph_->change_endpoint(node_id_, kind_, gid_, true);
  }
  ~EndpointToken() {graph_->change_endpoint(node_id_, kind_, gid_, false);}

  EndpointToken(const EndpointToken &) = delete;
  EndpointToken & operator=(const EndpointToken &) = delete;

private:
  std::shared_ptr<DdsGraphInfo> graph_;
  NodeRegistration node_;
  uint64_t node_id_;
  EndpointKind kind_;
  rmw_dds_common::msg::Gid gid_;
};

DdsGraphInfo::DdsGraphInfo(dds_entity_t participant)
: participant_gid_(gid_of(participant))
{
  const rosidl_message_type_support_t * type_support =
    rosidl_typesupport_introspection_cpp::get_message_type_support_handle<
    rmw_dds_common::msg::ParticipantEntitiesInfo>();
  // Cyclone takes over the sertype (and may swap in an equal one it already holds).
  ddsi_sertype * sertype = dds_wire::RosSertype::create(type_support);
  topic_ = dds_create_topic_sertype(participant, kTopicName, &sertype, nullptr, nullptr, nullptr);
  if (topic_ < 0) {
    throw std::runtime_error(
            std::string("cannot create DDS topic ") + kTopicName + ": " + dds_strretcode(topic_));
  }
  // As rmw_cyclonedds: reliable, transient local, keep last 1.
  writer_ = dds_create_writer(
    participant, topic_, DdsEndpointQos::make(rclcpp::QoS(1).transient_local()).get(), nullptr);
  if (writer_ < 0) {
    const dds_return_t error = writer_;
    dds_delete(topic_);
    throw std::runtime_error(
            std::string("cannot create a DDS writer on ") + kTopicName + ": " +
            dds_strretcode(error));
  }
}

DdsGraphInfo::~DdsGraphInfo()
{
  close();
}

void DdsGraphInfo::close()
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (writer_ > 0) {
    dds_delete(writer_);
    dds_delete(topic_);
  }
  writer_ = 0;
  topic_ = 0;
}

NodeRegistration DdsGraphInfo::add_node(
  const std::string & node_namespace, const std::string & node_name)
{
  std::lock_guard<std::mutex> lock(mutex_);
  rmw_dds_common::msg::NodeEntitiesInfo info;
  info.node_namespace = node_namespace;
  info.node_name = node_name;
  nodes_.push_back(NodeEntry{next_node_id_++, std::move(info)});
  publish_locked();
  return std::make_shared<NodeToken>(shared_from_this(), nodes_.back().id);
}

std::shared_ptr<void> DdsGraphInfo::add_endpoint(
  const NodeRegistration & node, EndpointKind kind, dds_entity_t entity)
{
  const auto token = std::static_pointer_cast<NodeToken>(node);
  // Only our own nodes: an endpoint of a node of no participant (or another one) is nobody's.
  if (!token || token->graph() != this) {
    return nullptr;
  }
  return std::make_shared<EndpointToken>(
    shared_from_this(), node, token->id(), kind, gid_of(entity));
}

rmw_dds_common::msg::Gid DdsGraphInfo::gid_of(dds_entity_t entity)
{
  rmw_dds_common::msg::Gid gid;  // zero-filled
  dds_guid_t guid;
  if (dds_get_guid(entity, &guid) == DDS_RETCODE_OK) {
    static_assert(sizeof(guid.v) <= sizeof(gid.data), "a DDS GUID fits in a gid");
    std::memcpy(gid.data.data(), guid.v, sizeof(guid.v));
  }
  return gid;
}

void DdsGraphInfo::remove_node(uint64_t node_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  nodes_.erase(
    std::remove_if(
      nodes_.begin(), nodes_.end(), [node_id](
        const NodeEntry & entry) {return entry.id == node_id;}),
    nodes_.end());
  publish_locked();
}

void DdsGraphInfo::change_endpoint(
  uint64_t node_id, EndpointKind kind, const rmw_dds_common::msg::Gid & gid, bool add)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto node = std::find_if(
    nodes_.begin(), nodes_.end(), [node_id](const NodeEntry & entry) {return entry.id == node_id;});
  if (node == nodes_.end()) {
    return;
  }
  auto & gids = kind == EndpointKind::Reader ?
    node->info.reader_gid_seq : node->info.writer_gid_seq;
  if (add) {
    gids.push_back(gid);
  } else {
    gids.erase(std::remove(gids.begin(), gids.end(), gid), gids.end());
  }
  publish_locked();
}

void DdsGraphInfo::publish_locked()
{
  if (writer_ <= 0) {
    return;
  }
  rmw_dds_common::msg::ParticipantEntitiesInfo message;
  message.gid = participant_gid_;
  message.node_entities_info_seq.reserve(nodes_.size());
  for (const auto & node : nodes_) {
    message.node_entities_info_seq.push_back(node.info);
  }
  const dds_return_t result = dds_write(writer_, &message);
  if (result != DDS_RETCODE_OK) {
    // A name past the 256 characters the graph message allows, or a participant going away:
    // the graph tools then miss the change, which is worth a line.
    RCUTILS_LOG_ERROR_NAMED(
      "rclcpp", "could not tell the ROS graph about our nodes on %s: %s", kTopicName,
      dds_strretcode(result));
  }
}

}  // namespace detail
}  // namespace rclcpp
