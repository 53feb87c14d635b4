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

#ifndef RCLCPP__DETAIL__DDS_TRANSPORT_HPP_
#define RCLCPP__DETAIL__DDS_TRANSPORT_HPP_

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "rclcpp/detail/dds_domain_config.hpp"
#include "rclcpp/detail/in_process_transport.hpp"
#include "rclcpp/detail/transport.hpp"

namespace rclcpp
{
namespace detail
{

class DdsParticipant;

/// Carries messages between processes as ROS 2 Humble with rmw_cyclonedds_cpp does (topics
/// "rt/<name>", types "pkg::msg::dds_::Name_", classic CDR, QoS one to one), and inside the
/// process as InProcessTransport does.
///
/// Same-process endpoints keep the in-process path and our DDS readers ignore writers of our
/// own participant. That keeps local delivery synchronous, uncopied and independent of
/// discovery, exactly as before, so nothing that already worked in one process changes; a
/// message still crosses the wire once for every other process, Humble's included.
class DdsTransport : public Transport
{
public:
  /// Joins the domain (one participant for the whole process). Throws std::runtime_error with
  /// Cyclone's reason when that fails.
  explicit DdsTransport(const DdsDomainConfig & config);
  ~DdsTransport() override;

  /// The process's transport: configured from the environment (see DdsDomainConfig, whose
  /// std::invalid_argument it passes on), and leaving the domain when the process exits.
  static DdsTransport * create_for_process();

  /// Published on "ros_discovery_info" with the gids of the node's readers and writers.
  NodeRegistration register_node(
    const std::string & node_namespace, const std::string & node_name) override;

  std::shared_ptr<PublisherEndpoint> create_publisher(const TopicEndpointInfo & info) override;
  std::shared_ptr<SubscriptionEndpoint> create_subscription(
    const TopicEndpointInfo & info, std::function<void()> on_message_ready) override;
  /// Served over DDS only: no client exists in this process.
  std::shared_ptr<ServiceEndpoint> create_service(
    const ServiceEndpointInfo & info, std::function<void()> on_request_ready) override;

  /// Leaves the domain: every DDS reader and writer stops; endpoints still held, and those
  /// created afterwards, deliver within the process only. For the end of the process, while
  /// Cyclone's threads can still be stopped in order.
  void leave_domain();

private:
  InProcessTransport local_;
  std::mutex participant_mutex_;
  std::unique_ptr<DdsParticipant> participant_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__DDS_TRANSPORT_HPP_
