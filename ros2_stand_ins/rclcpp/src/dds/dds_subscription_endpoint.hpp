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

#ifndef DDS__DDS_SUBSCRIPTION_ENDPOINT_HPP_
#define DDS__DDS_SUBSCRIPTION_ENDPOINT_HPP_

#include <functional>
#include <memory>

#include "dds/dds.h"
#include "dds_topic.hpp"
#include "rclcpp/detail/transport.hpp"

namespace rclcpp
{
namespace detail
{

/// A subscription fed by publishers of this process (through `local`) and by every other DDS
/// participant on the domain (through a Cyclone reader).
///
/// Remote samples stay serialized in the reader's history until take(), so a keep-last
/// depth bounds them there as DDS does, and a malformed one costs nothing until it is taken,
/// logged and skipped. The reader's data-available listener only wakes the executor; its
/// requested-incompatible-QoS listener passes the news on.
class DdsSubscriptionEndpoint : public SubscriptionEndpoint
{
public:
  /// `local` must have been created with the same `on_message_ready`. Throws
  /// std::runtime_error with Cyclone's reason if the reader cannot be created.
  DdsSubscriptionEndpoint(
    std::shared_ptr<SubscriptionEndpoint> local, dds_entity_t participant,
    const TopicEndpointInfo & info, std::function<void()> on_message_ready);
  ~DdsSubscriptionEndpoint() override;

  std::shared_ptr<const void> take() override;
  /// A local message or a remote sample waits (a malformed one counts until take() drops it).
  bool has_message() const override;
  /// Matching publishers here plus matched DDS writers elsewhere.
  size_t get_publisher_count() const override;

  dds_entity_t reader() const {return reader_;}

private:
  static void on_data_available(dds_entity_t reader, void * self);
  static void on_requested_incompatible_qos(
    dds_entity_t reader, const dds_requested_incompatible_qos_status_t status, void * self);

  /// The next remote sample that decodes, or nullptr; malformed ones are logged and dropped.
  std::shared_ptr<const void> take_remote();

  std::shared_ptr<SubscriptionEndpoint> local_;
  std::function<void()> on_message_ready_;
  IncompatibleQosHandler on_incompatible_qos_;
  DdsTopic topic_;
  dds_entity_t reader_;
  // Triggered while the reader holds any sample: answers has_message() without taking.
  dds_entity_t any_sample_;
  // Alternates which source take() asks first, so a busy local publisher cannot starve
  // remote ones (or the other way round).
  bool remote_first_ = false;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // DDS__DDS_SUBSCRIPTION_ENDPOINT_HPP_
