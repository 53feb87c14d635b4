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

#include "dds_subscription_endpoint.hpp"

#include <stdexcept>
#include <string>
#include <utility>

#include "dds/ddsi/ddsi_serdata.h"
#include "dds_endpoint_qos.hpp"
#include "dds_wire/ros_serdata.hpp"
#include "rcutils/logging_macros.h"

namespace rclcpp
{
namespace detail
{
namespace
{

struct ListenerDeleter
{
  void operator()(dds_listener_t * listener) const {dds_delete_listener(listener);}
};

}  // namespace

DdsSubscriptionEndpoint::DdsSubscriptionEndpoint(
  std::shared_ptr<SubscriptionEndpoint> local, dds_entity_t participant,
  const TopicEndpointInfo & info, std::function<void()> on_message_ready)
: local_(std::move(local)), on_message_ready_(std::move(on_message_ready)),
  on_incompatible_qos_(info.on_incompatible_qos), topic_(participant, info)
{
  std::unique_ptr<dds_listener_t, ListenerDeleter> listener(dds_create_listener(this));
  dds_lset_data_available(listener.get(), &DdsSubscriptionEndpoint::on_data_available);
  if (on_incompatible_qos_) {
    dds_lset_requested_incompatible_qos(
      listener.get(), &DdsSubscriptionEndpoint::on_requested_incompatible_qos);
  }
  reader_ = dds_create_reader(
    participant, topic_.handle(), DdsEndpointQos::make(info.qos).get(), listener.get());
  if (reader_ < 0) {
    throw std::runtime_error(
            "cannot create a DDS reader for " + topic_.description() + ": " +
            dds_strretcode(reader_));
  }
  any_sample_ = dds_create_readcondition(reader_, DDS_ANY_STATE);
}

DdsSubscriptionEndpoint::~DdsSubscriptionEndpoint()
{
  // Returns only once a listener call in progress has finished, so `this` outlives it.
  dds_delete(reader_);
}

void DdsSubscriptionEndpoint::on_data_available(dds_entity_t, void * self)
{
  // Runs on Cyclone's receive thread: wake the executor, which calls take().
  const auto & on_message_ready = static_cast<DdsSubscriptionEndpoint *>(self)->on_message_ready_;
  if (on_message_ready) {
    on_message_ready();
  }
}

void DdsSubscriptionEndpoint::on_requested_incompatible_qos(
  dds_entity_t, const dds_requested_incompatible_qos_status_t status, void * self)
{
  static_cast<DdsSubscriptionEndpoint *>(self)->on_incompatible_qos_(
    DdsEndpointQos::policy_kind(status.last_policy_id));
}

std::shared_ptr<const void> DdsSubscriptionEndpoint::take()
{
  remote_first_ = !remote_first_;
  if (remote_first_) {
    if (auto message = take_remote()) {
      return message;
    }
    return local_->take();
  }
  if (auto message = local_->take()) {
    return message;
  }
  return take_remote();
}

std::shared_ptr<const void> DdsSubscriptionEndpoint::take_remote()
{
  while (true) {
    ddsi_serdata * sample = nullptr;
    dds_sample_info_t info;
    if (dds_takecdr(reader_, &sample, 1, &info, DDS_ANY_STATE) != 1) {
      return nullptr;
    }
    std::shared_ptr<void> message;
    dds_wire::DeserializationResult result;
    if (info.valid_data) {
      message = topic_.message_type().create_message();
      result = dds_wire::RosSerdata::from(sample).deserialize(message.get());
    }
    const size_t size = dds_wire::RosSerdata::from(sample).size();
    ddsi_serdata_unref(sample);
    if (!info.valid_data) {
      continue;  // a writer went away: nothing to deliver
    }
    if (result) {
      return message;
    }
    RCUTILS_LOG_ERROR_NAMED(
      "rclcpp", "dropped a malformed sample of %zu bytes on %s: %s",
      size, topic_.description().c_str(), result.error.c_str());
  }
}

bool DdsSubscriptionEndpoint::has_message() const
{
  return local_->has_message() || dds_triggered(any_sample_) > 0;
}

size_t DdsSubscriptionEndpoint::get_publisher_count() const
{
  dds_subscription_matched_status_t status{};
  const size_t remote =
    dds_get_subscription_matched_status(
    reader_,
    &status) == DDS_RETCODE_OK ? status.current_count : 0;
  return local_->get_publisher_count() + remote;
}

}  // namespace detail
}  // namespace rclcpp
