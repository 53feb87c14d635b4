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

#ifndef DDS__DDS_PUBLISHER_ENDPOINT_HPP_
#define DDS__DDS_PUBLISHER_ENDPOINT_HPP_

#include <memory>

#include "dds/dds.h"
#include "dds_topic.hpp"
#include "rclcpp/detail/transport.hpp"

namespace rclcpp
{
namespace detail
{

/// A publisher seen by subscriptions of this process (through `local`) and by every other DDS
/// participant on the domain (through a Cyclone writer).
class DdsPublisherEndpoint : public PublisherEndpoint
{
public:
  /// Throws std::runtime_error with Cyclone's reason if the writer cannot be created.
  DdsPublisherEndpoint(
    std::shared_ptr<PublisherEndpoint> local, dds_entity_t participant,
    const TopicEndpointInfo & info);
  ~DdsPublisherEndpoint() override;

  void publish(std::shared_ptr<const void> message) override;
  void publish_lent(const void * message, MessageCopier copy) override;
  /// Matching subscriptions here plus matched DDS readers elsewhere.
  size_t get_subscription_count() const override;

  dds_entity_t writer() const {return writer_;}

private:
  static void on_offered_incompatible_qos(
    dds_entity_t writer, const dds_offered_incompatible_qos_status_t status, void * self);

  /// Sends to every matched DDS reader; a failure is logged.
  void write(const void * message);

  std::shared_ptr<PublisherEndpoint> local_;
  IncompatibleQosHandler on_incompatible_qos_;
  DdsTopic topic_;
  dds_entity_t writer_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // DDS__DDS_PUBLISHER_ENDPOINT_HPP_
