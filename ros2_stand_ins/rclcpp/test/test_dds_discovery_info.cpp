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

// What a Humble graph tool (`ros2 node list`, `ros2 node info`, `ros2 param`) learns about our
// nodes: the participant's ros_discovery_info samples, read by a raw Cyclone reader, and the
// gids in them checked against the GUIDs that DDS discovery reports for our endpoints.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dds_peer.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rclcpp/node.hpp"
#include "rmw_dds_common/msg/participant_entities_info.hpp"
#include "runtime_test_support.hpp"
#include "std_msgs/msg/header.hpp"

namespace
{

using rcl_interfaces::srv::GetParameters;
using rmw_dds_common::msg::Gid;
using rmw_dds_common::msg::NodeEntitiesInfo;
using rmw_dds_common::msg::ParticipantEntitiesInfo;
using std_msgs::msg::Header;
using test_support::DdsPeer;

/// rmw_cyclonedds' gid of an entity with this GUID: the 16 GUID bytes, then zeros.
Gid gid_for(const dds_guid_t & guid)
{
  Gid gid;
  std::memcpy(gid.data.data(), guid.v, sizeof(guid.v));
  return gid;
}

/// The one endpoint matched with a peer's reader or writer, as DDS discovery describes it
/// (GUID, participant GUID, topic, type, QoS); empty until discovery has found exactly one.
using EndpointData = std::unique_ptr<dds_builtintopic_endpoint_t,
    void (*)(dds_builtintopic_endpoint_t *)>;

/// A peer writer's matched reader, or a peer reader's matched writer.
EndpointData matched_with(dds_entity_t peer_endpoint)
{
  dds_instance_handle_t handle = 0;
  if (dds_get_matched_publications(peer_endpoint, &handle, 1) == 1) {
    return {dds_get_matched_publication_data(peer_endpoint, handle),
      dds_builtintopic_free_endpoint};
  }
  if (dds_get_matched_subscriptions(peer_endpoint, &handle, 1) == 1) {
    return {dds_get_matched_subscription_data(peer_endpoint, handle),
      dds_builtintopic_free_endpoint};
  }
  return {nullptr, dds_builtintopic_free_endpoint};
}

/// A Humble graph cache's view: a reader of ros_discovery_info with rmw_cyclonedds' QoS,
/// created after the nodes it is to see, so it relies on transient local delivery.
struct GraphObserver
{
  GraphObserver()
  {
    dds_wire::WireQos qos;
    qos.depth = 1;
    qos.durability = dds_wire::WireQos::Durability::TransientLocal;
    reader = peer.reader(peer.dds_topic<ParticipantEntitiesInfo>("ros_discovery_info"), qos);
  }

  /// The most recent sample so far (every sample is the whole picture of the participant);
  /// bytes holds it as it came over the wire, encapsulation header included.
  const std::optional<ParticipantEntitiesInfo> & latest()
  {
    ddsi_serdata * sample = nullptr;
    dds_sample_info_t info;
    while (dds_takecdr(reader, &sample, 1, &info, DDS_ANY_STATE) == 1) {
      if (info.valid_data) {
        ParticipantEntitiesInfo message;
        EXPECT_TRUE(dds_wire::RosSerdata::from(sample).deserialize(&message).ok);
        latest_ = message;
        bytes.resize(ddsi_serdata_size(sample));
        ddsi_serdata_to_ser(sample, 0, bytes.size(), bytes.data());
      }
      ddsi_serdata_unref(sample);
    }
    return latest_;
  }

  /// The entry of the node, if the latest sample lists it.
  std::optional<NodeEntitiesInfo> node(const std::string & node_namespace, const std::string & name)
  {
    if (!latest()) {
      return std::nullopt;
    }
    for (const auto & entry : latest_->node_entities_info_seq) {
      if (entry.node_namespace == node_namespace && entry.node_name == name) {
        return entry;
      }
    }
    return std::nullopt;
  }

  DdsPeer peer;  // a graph tool's process of its own, for a Humble client's endpoints too
  dds_entity_t reader = 0;
  std::optional<ParticipantEntitiesInfo> latest_;
  std::vector<uint8_t> bytes;
};

class DdsDiscoveryInfoTest : public test_support::DdsPeerTest
{
protected:
  /// Without parameter services, so a node's entry holds exactly the endpoints a test made.
  rclcpp::Node::SharedPtr make_node(const std::string & name, const std::string & ns = "")
  {
    return std::make_shared<rclcpp::Node>(
      name, ns, test_support::options_for(context_).start_parameter_services(false));
  }
};


TEST_F(DdsDiscoveryInfoTest, NodeIsListedWithTheGidsOfItsReadersAndWriters)
{
  auto node = make_node("graph_talker", "/graph_test");
  auto publisher = node->create_publisher<Header>("graph_out", 10);
  auto subscription = node->create_subscription<Header>(
    "graph_in", rclcpp::QoS(10), [](const Header &) {});

  // The same endpoints as a Humble process discovers them.
  const dds_entity_t peer_reader = peer_->reader(peer_->topic<Header>("/graph_test/graph_out"));
  const dds_entity_t peer_writer = peer_->writer(peer_->topic<Header>("/graph_test/graph_in"));
  EndpointData our_writer{nullptr, dds_builtintopic_free_endpoint};
  EndpointData our_reader{nullptr, dds_builtintopic_free_endpoint};
  ASSERT_TRUE(
    DdsPeer::eventually(
      [&]() {
        our_writer = matched_with(peer_reader);
        our_reader = matched_with(peer_writer);
        return our_writer && our_reader;
      }));

  GraphObserver graph;
  ASSERT_TRUE(
    DdsPeer::eventually([&]() {return graph.node("/graph_test", "graph_talker").has_value();}));
  const auto entry = *graph.node("/graph_test", "graph_talker");
  EXPECT_EQ(entry.writer_gid_seq, std::vector<Gid>{gid_for(our_writer->key)});
  EXPECT_EQ(entry.reader_gid_seq, std::vector<Gid>{gid_for(our_reader->key)});
  // The participant is the one owning those endpoints, so tools can tie them together.
  EXPECT_EQ(graph.latest()->gid, gid_for(our_writer->participant_key));

  // The writer itself keeps what rmw_cyclonedds keeps: only the latest picture. (Its topic,
  // type, reliability and durability are those of a Humble reader's, or nothing would match a
  // late observer.)
  const auto writer = matched_with(graph.reader);
  ASSERT_TRUE(writer);
  EXPECT_EQ(gid_for(writer->participant_key), graph.latest()->gid);
  dds_history_kind_t history;
  int32_t depth = 0;
  ASSERT_TRUE(dds_qget_history(writer->qos, &history, &depth));
  EXPECT_EQ(history, DDS_HISTORY_KEEP_LAST);
  EXPECT_EQ(depth, 1);
}

TEST_F(DdsDiscoveryInfoTest, SampleHasHumblesLayout)
{
  // Written out by hand, so a field of the wrong size or order (a 16-byte gid, say) shows
  // even though our own decoder would agree with our own encoder.
  auto node = make_node("wire_node", "/wire");
  GraphObserver graph;
  ASSERT_TRUE(DdsPeer::eventually([&]() {return graph.node("/wire", "wire_node").has_value();}));
  const auto & gid = graph.latest()->gid.data;
  ASSERT_EQ(graph.latest()->node_entities_info_seq.size(), 1u) << "a node of another test remains";

  std::vector<uint8_t> expected{0x00, 0x01, 0x00, 0x00};
  const auto append = [&expected](std::initializer_list<uint8_t> bytes) {
      expected.insert(expected.end(), bytes);
    };
  expected.insert(expected.end(), gid.begin(), gid.end());  // char[24]
  append({1, 0, 0, 0});  // one node
  append({6, 0, 0, 0, '/', 'w', 'i', 'r', 'e', 0, 0, 0});  // namespace, padded to 4
  append({10, 0, 0, 0, 'w', 'i', 'r', 'e', '_', 'n', 'o', 'd', 'e', 0, 0, 0});  // name
  append({0, 0, 0, 0, 0, 0, 0, 0});  // no readers, no writers
  EXPECT_EQ(graph.bytes, expected);
  // The GUID fills the first 16 bytes (its last 4 are the entity id, 0x1c1 for a participant).
  EXPECT_EQ(
    std::vector<uint8_t>(gid.begin() + 12, gid.end()),
    (std::vector<uint8_t>{0, 0, 0x01, 0xc1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(DdsDiscoveryInfoTest, ParameterServicesAreListedUnderTheirNode)
{
  auto node = std::make_shared<rclcpp::Node>(
    "graph_params", "/graph_test", test_support::options_for(context_));

  // One of the six services as a Humble client finds it: its request reader, its reply writer.
  GraphObserver graph;
  const std::string service = "/graph_test/graph_params/get_parameters";
  const dds_entity_t request_writer = graph.peer.writer(
    graph.peer.dds_topic<GetParameters::Request>(dds_wire::DdsNames::request_topic(service)));
  const dds_entity_t reply_reader = graph.peer.reader(
    graph.peer.dds_topic<GetParameters::Response>(dds_wire::DdsNames::reply_topic(service)));
  EndpointData request_reader{nullptr, dds_builtintopic_free_endpoint};
  EndpointData reply_writer{nullptr, dds_builtintopic_free_endpoint};
  ASSERT_TRUE(
    DdsPeer::eventually(
      [&]() {
        request_reader = matched_with(request_writer);
        reply_writer = matched_with(reply_reader);
        return request_reader && reply_writer;
      }));

  const auto counts = [&graph]() {
      const auto entry = graph.node("/graph_test", "graph_params");
      return entry ? std::make_pair(entry->reader_gid_seq.size(), entry->writer_gid_seq.size()) :
             std::make_pair(size_t{0}, size_t{0});
    };
  ASSERT_TRUE(
    DdsPeer::eventually(
      [&]() {
        return counts() == std::make_pair(size_t{6}, size_t{6});
      }));
  const auto entry = *graph.node("/graph_test", "graph_params");
  const auto listed = [](const std::vector<Gid> & gids, const Gid & gid) {
      return std::find(gids.begin(), gids.end(), gid) != gids.end();
    };
  EXPECT_TRUE(listed(entry.reader_gid_seq, gid_for(request_reader->key)));
  EXPECT_TRUE(listed(entry.writer_gid_seq, gid_for(reply_writer->key)));
}

TEST_F(DdsDiscoveryInfoTest, EntriesFollowEndpointsAndNodesAsTheyGo)
{
  auto staying = make_node("graph_stays");
  auto leaving = make_node("graph_leaves");
  auto publisher = leaving->create_publisher<Header>("graph_leaving_out", 10);
  auto subscription = leaving->create_subscription<Header>(
    "graph_leaving_in", rclcpp::QoS(10), [](const Header &) {});

  GraphObserver graph;
  using Counts = std::optional<std::pair<size_t, size_t>>;
  // (readers, writers) of the node, or nothing while it is not listed.
  const auto endpoint_counts = [&graph](const std::string & name) -> Counts {
      const auto entry = graph.node("/", name);
      if (!entry) {
        return std::nullopt;
      }
      return std::make_pair(entry->reader_gid_seq.size(), entry->writer_gid_seq.size());
    };
  ASSERT_TRUE(
    DdsPeer::eventually(
      [&]() {
        return endpoint_counts("graph_leaves") == Counts({1, 1});
      }));
  EXPECT_EQ(endpoint_counts("graph_stays"), Counts({0, 0}));

  subscription.reset();
  ASSERT_TRUE(
    DdsPeer::eventually(
      [&]() {
        return endpoint_counts("graph_leaves") == Counts({0, 1});
      }));

  // As in Humble, a publisher keeps its node's handle, and so its entry, alive. Every sample
  // is the whole picture, so once a later change shows, the node's own destruction would have.
  leaving.reset();
  auto later = staying->create_publisher<Header>("graph_staying_out", 10);
  ASSERT_TRUE(
    DdsPeer::eventually(
      [&]() {
        return endpoint_counts("graph_stays") == Counts({0, 1});
      }));
  EXPECT_EQ(endpoint_counts("graph_leaves"), Counts({0, 1}));
  publisher.reset();
  ASSERT_TRUE(DdsPeer::eventually([&]() {return !graph.node("/", "graph_leaves");}));
  EXPECT_EQ(endpoint_counts("graph_stays"), Counts({0, 1}));

  later.reset();
  staying.reset();
  ASSERT_TRUE(DdsPeer::eventually([&]() {return !graph.node("/", "graph_stays");}));
}

TEST_F(DdsDiscoveryInfoTest, NodesWithTheSameNameKeepTheirOwnEndpoints)
{
  // Humble warns about duplicate names but runs both; each must keep its own gids.
  auto first = make_node("graph_twin", "/graph_twins");
  auto second = make_node("graph_twin", "/graph_twins");
  auto publisher = second->create_publisher<Header>("graph_twin_out", 10);

  GraphObserver graph;
  const auto writer_counts = [&graph]() {
      std::vector<size_t> counts;
      if (graph.latest()) {
        for (const auto & entry : graph.latest()->node_entities_info_seq) {
          if (entry.node_name == "graph_twin") {
            counts.push_back(entry.writer_gid_seq.size());
          }
        }
      }
      return counts;
    };
  ASSERT_TRUE(DdsPeer::eventually([&]() {return writer_counts() == std::vector<size_t>{0, 1};}));
  first.reset();
  ASSERT_TRUE(DdsPeer::eventually([&]() {return writer_counts() == std::vector<size_t>{1};}));
}

}  // namespace
