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

#include "dds_publisher_endpoint.hpp"

#include <stdexcept>
#include <string>
#include <utility>

#include "dds_endpoint_qos.hpp"
#include "rcutils/logging_macros.h"

namespace rclcpp
{
namespace detail
{

DdsPublisherEndpoint::DdsPublisherEndpoint(
  std::shared_ptr<PublisherEndpoint> local, dds_entity_t participant,
  const TopicEndpointInfo & info)
: local_(std::move(local)), on_incompatible_qos_(info.on_incompatible_qos),
  topic_(participant, info)
{
  dds_listener_t * listener = nullptr;
  if (on_incompatible_qos_) {
    listener = dds_create_listener(this);
    dds_lset_offered_incompatible_qos(
      listener, &DdsPublisherEndpoint::on_offered_incompatible_qos);
  }
  writer_ = dds_create_writer(
    participant, topic_.handle(), DdsEndpointQos::make(info.qos).get(), listener);
  if (listener != nullptr) {
    dds_delete_listener(listener);  // the writer keeps a copy
  }
  if (writer_ < 0) {
    throw std::runtime_error(
            "cannot create a DDS writer for " + topic_.description() + ": " +
            dds_strretcode(writer_));
  }
}

DdsPublisherEndpoint::~DdsPublisherEndpoint()
{
  dds_delete(writer_);
}

void DdsPublisherEndpoint::on_offered_incompatible_qos(
  dds_entity_t, const dds_offered_incompatible_qos_status_t status, void * self)
{
  static_cast<DdsPublisherEndpoint *>(self)->on_incompatible_qos_(
    DdsEndpointQos::policy_kind(status.last_policy_id));
}

void DdsPublisherEndpoint::publish(std::shared_ptr<const void> message)
{
  // Serialized once by Cyclone for all remote readers; the local ones share the object.
  write(message.get());
  local_->publish(std::move(message));
}

void DdsPublisherEndpoint::publish_lent(const void * message, MessageCopier copy)
{
  write(message);  // Cyclone serializes during the call and keeps only the bytes
  local_->publish_lent(message, copy);
}

void DdsPublisherEndpoint::write(const void * message)
{
  const dds_return_t result = dds_write(writer_, message);
  if (result != DDS_RETCODE_OK) {
    // Only an unencodable message (a string past its bound) or a deleted participant gets
    // here; rclcpp's publish() has no error path for the transport, so say it loudly.
    RCUTILS_LOG_ERROR_NAMED(
      "rclcpp", "could not send a message on %s over DDS: %s",
      topic_.description().c_str(), dds_strretcode(result));
  }
}

size_t DdsPublisherEndpoint::get_subscription_count() const
{
  dds_publication_matched_status_t status{};
  const size_t remote =
    dds_get_publication_matched_status(
    writer_,
    &status) == DDS_RETCODE_OK ? status.current_count : 0;
  return local_->get_subscription_count() + remote;
}

}  // namespace detail
}  // namespace rclcpp
