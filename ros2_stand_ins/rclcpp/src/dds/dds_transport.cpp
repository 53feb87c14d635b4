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

#include "rclcpp/detail/dds_transport.hpp"

#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>

#include "dds_participant.hpp"
#include "dds_publisher_endpoint.hpp"
#include "dds_service_endpoint.hpp"
#include "dds_subscription_endpoint.hpp"

namespace rclcpp
{
namespace detail
{

DdsTransport::DdsTransport(const DdsDomainConfig & config)
: participant_(std::make_unique<DdsParticipant>(config))
{}

DdsTransport::~DdsTransport() = default;

namespace
{
DdsTransport * process_transport = nullptr;
}  // namespace

DdsTransport * DdsTransport::create_for_process()
{
  process_transport = new DdsTransport(DdsDomainConfig::from_environment());
  // Deleting the participant tells the other processes at once that our endpoints are gone
  // (otherwise they would count them until the lease runs out), and stops Cyclone's threads
  // before the C++ runtime is torn down under them.
  std::atexit([] {process_transport->leave_domain();});
  return process_transport;
}

namespace
{

/// `endpoint`, listed under its node in the ROS graph for as long as it lives. The entry goes
/// first, then the endpoint, so that graph tools never see a gid that no longer exists.
template<typename EndpointT, typename DdsEndpointT>
std::shared_ptr<EndpointT> listed(
  std::shared_ptr<DdsEndpointT> endpoint,
  std::shared_ptr<void> entry)
{
  if (!entry) {
    return endpoint;
  }
  struct Listed
  {
    std::shared_ptr<DdsEndpointT> endpoint;
    std::shared_ptr<void> entry;
  };
  auto * raw = endpoint.get();
  return std::shared_ptr<EndpointT>(
    std::make_shared<Listed>(Listed{std::move(endpoint), std::move(entry)}), raw);
}

}  // namespace

NodeRegistration DdsTransport::register_node(
  const std::string & node_namespace, const std::string & node_name)
{
  std::lock_guard<std::mutex> lock(participant_mutex_);
  if (!participant_) {
    return nullptr;
  }
  return participant_->graph_info().add_node(node_namespace, node_name);
}

std::shared_ptr<PublisherEndpoint> DdsTransport::create_publisher(const TopicEndpointInfo & info)
{
  auto local = local_.create_publisher(info);
  std::lock_guard<std::mutex> lock(participant_mutex_);
  if (!participant_) {
    return local;
  }
  auto endpoint =
    std::make_shared<DdsPublisherEndpoint>(std::move(local), participant_->handle(), info);
  auto entry = participant_->graph_info().add_endpoint(
    info.node, DdsGraphInfo::EndpointKind::Writer, endpoint->writer());
  return listed<PublisherEndpoint>(std::move(endpoint), std::move(entry));
}

std::shared_ptr<SubscriptionEndpoint> DdsTransport::create_subscription(
  const TopicEndpointInfo & info, std::function<void()> on_message_ready)
{
  auto local = local_.create_subscription(info, on_message_ready);
  std::lock_guard<std::mutex> lock(participant_mutex_);
  if (!participant_) {
    return local;
  }
  auto endpoint = std::make_shared<DdsSubscriptionEndpoint>(
    std::move(local), participant_->handle(), info, std::move(on_message_ready));
  auto entry = participant_->graph_info().add_endpoint(
    info.node, DdsGraphInfo::EndpointKind::Reader, endpoint->reader());
  return listed<SubscriptionEndpoint>(std::move(endpoint), std::move(entry));
}

std::shared_ptr<ServiceEndpoint> DdsTransport::create_service(
  const ServiceEndpointInfo & info, std::function<void()> on_request_ready)
{
  std::lock_guard<std::mutex> lock(participant_mutex_);
  if (!participant_) {
    return Transport::create_service(info, std::move(on_request_ready));
  }
  auto endpoint = std::make_shared<DdsServiceEndpoint>(
    participant_->handle(), info, std::move(on_request_ready));
  // Humble lists a service's request reader and reply writer under its node.
  auto & graph = participant_->graph_info();
  auto entries = std::make_shared<std::pair<std::shared_ptr<void>, std::shared_ptr<void>>>(
    graph.add_endpoint(info.node, DdsGraphInfo::EndpointKind::Reader, endpoint->reader()),
    graph.add_endpoint(info.node, DdsGraphInfo::EndpointKind::Writer, endpoint->writer()));
  return listed<ServiceEndpoint>(std::move(endpoint), info.node ? entries : nullptr);
}

void DdsTransport::leave_domain()
{
  std::lock_guard<std::mutex> lock(participant_mutex_);
  participant_.reset();
}

}  // namespace detail
}  // namespace rclcpp
