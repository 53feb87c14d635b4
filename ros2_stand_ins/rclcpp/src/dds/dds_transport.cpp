// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/detail/dds_transport.hpp"

#include <cstdlib>
#include <mutex>
#include <utility>

#include "dds_participant.hpp"
#include "dds_publisher_endpoint.hpp"
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

std::shared_ptr<PublisherEndpoint> DdsTransport::create_publisher(const TopicEndpointInfo & info)
{
  auto local = local_.create_publisher(info);
  std::lock_guard<std::mutex> lock(participant_mutex_);
  if (!participant_) {
    return local;
  }
  return std::make_shared<DdsPublisherEndpoint>(std::move(local), participant_->handle(), info);
}

std::shared_ptr<SubscriptionEndpoint> DdsTransport::create_subscription(
  const TopicEndpointInfo & info, std::function<void()> on_message_ready)
{
  auto local = local_.create_subscription(info, on_message_ready);
  std::lock_guard<std::mutex> lock(participant_mutex_);
  if (!participant_) {
    return local;
  }
  return std::make_shared<DdsSubscriptionEndpoint>(
    std::move(local), participant_->handle(), info, std::move(on_message_ready));
}

void DdsTransport::leave_domain()
{
  std::lock_guard<std::mutex> lock(participant_mutex_);
  participant_.reset();
}

}  // namespace detail
}  // namespace rclcpp
