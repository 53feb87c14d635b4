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

#include "dds_service_endpoint.hpp"

#include <atomic>
#include <cinttypes>
#include <chrono>
#include <cstring>
#include <iomanip>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dds/ddsi/ddsi_serdata.h"
#include "dds_endpoint_qos.hpp"
#include "dds_wire/dds_names.hpp"
#include "dds_wire/ros_serdata.hpp"
#include "dds_wire/service_sample.hpp"
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

/// Humble's id of a client or service: the participant's GUID prefix and a running number,
/// printed as rmw_cyclonedds prints it. Its clients use it to see that a service's request
/// reader and reply writer belong together.
std::string service_user_data(dds_entity_t participant)
{
  static std::atomic<uint32_t> last_id{0};
  const uint32_t number = ++last_id;
  dds_guid_t guid{};
  dds_get_guid(participant, &guid);
  uint8_t id[16];
  std::memcpy(id, guid.v, 12);
  std::memcpy(id + 12, &number, sizeof number);
  std::ostringstream text;
  text << "serviceid=" << std::hex << std::setw(2) << static_cast<int>(id[0]);
  for (size_t i = 1; i < sizeof id; ++i) {
    text << "." << static_cast<int>(id[i]);
  }
  text << ";";
  return text.str();
}

dds_wire::QosMapping::DdsQosPtr service_qos(const std::string & user_data)
{
  auto qos = DdsEndpointQos::make(rclcpp::ServicesQoS());
  dds_qset_userdata(qos.get(), user_data.data(), user_data.size());
  return qos;
}

bool same_guid(const dds_guid_t & a, const dds_guid_t & b)
{
  return std::memcmp(a.v, b.v, sizeof a.v) == 0;
}

}  // namespace

DdsServiceEndpoint::DdsServiceEndpoint(
  dds_entity_t participant, const ServiceEndpointInfo & info,
  std::function<void()> on_request_ready)
: service_name_(info.service_name),
  request_type_support_(info.request_type_support),
  response_type_support_(info.response_type_support),
  on_request_ready_(std::move(on_request_ready)),
  request_topic_(
    participant, info.request_type_support, dds_wire::DdsNames::request_topic(info.service_name),
    info.service_name + " (request)"),
  reply_topic_(
    participant, info.response_type_support, dds_wire::DdsNames::reply_topic(info.service_name),
    info.service_name + " (reply)")
{
  const auto qos = service_qos(service_user_data(participant));
  std::unique_ptr<dds_listener_t, ListenerDeleter> listener(dds_create_listener(this));
  dds_lset_data_available(listener.get(), &DdsServiceEndpoint::on_data_available);
  reader_ = dds_create_reader(participant, request_topic_.handle(), qos.get(), listener.get());
  if (reader_ < 0) {
    throw std::runtime_error(
            "cannot create a DDS reader for " + request_topic_.description() + ": " +
            dds_strretcode(reader_));
  }
  writer_ = dds_create_writer(participant, reply_topic_.handle(), qos.get(), nullptr);
  if (writer_ < 0) {
    const dds_return_t error = writer_;
    dds_delete(reader_);
    throw std::runtime_error(
            "cannot create a DDS writer for " + reply_topic_.description() + ": " +
            dds_strretcode(error));
  }
  any_sample_ = dds_create_readcondition(reader_, DDS_ANY_STATE);
}

DdsServiceEndpoint::~DdsServiceEndpoint()
{
  // Returns only once a listener call in progress has finished, so `this` outlives it.
  dds_delete(reader_);
  dds_delete(writer_);
}

void DdsServiceEndpoint::on_data_available(dds_entity_t, void * self)
{
  const auto & on_request_ready = static_cast<DdsServiceEndpoint *>(self)->on_request_ready_;
  if (on_request_ready) {
    on_request_ready();
  }
}

std::shared_ptr<const void> DdsServiceEndpoint::take()
{
  while (true) {
    ddsi_serdata * sample = nullptr;
    dds_sample_info_t info;
    if (dds_takecdr(reader_, &sample, 1, &info, DDS_ANY_STATE) != 1) {
      return nullptr;
    }
    const auto & bytes = dds_wire::RosSerdata::from(sample);
    auto request = std::make_shared<ServiceRequest>();
    dds_wire::DeserializationResult result;
    if (info.valid_data) {
      request->message = request_topic_.message_type().create_message();
      dds_wire::RequestHeader header;
      result = dds_wire::ServiceSample::deserialize(
        bytes.data(), bytes.size(), header, request->message.get(), request_type_support_);
      request->client_guid = header.client_guid;
      request->sequence_number = header.sequence_number;
      request->writer_handle = info.publication_handle;
    }
    const size_t size = bytes.size();
    ddsi_serdata_unref(sample);
    if (!info.valid_data) {
      continue;  // a client went away: nothing to answer
    }
    if (result) {
      return request;
    }
    RCUTILS_LOG_ERROR_NAMED(
      "rclcpp", "dropped a malformed request of %zu bytes on %s: %s",
      size, request_topic_.description().c_str(), result.error.c_str());
  }
}

bool DdsServiceEndpoint::has_message() const
{
  return dds_triggered(any_sample_) > 0;
}

size_t DdsServiceEndpoint::get_publisher_count() const
{
  dds_subscription_matched_status_t status{};
  return dds_get_subscription_matched_status(reader_, &status) == DDS_RETCODE_OK ?
         status.current_count : 0;
}

DdsServiceEndpoint::Caller DdsServiceEndpoint::find_caller(const ServiceRequest & request) const
{
  dds_builtintopic_endpoint_t * request_writer =
    dds_get_matched_publication_data(reader_, request.writer_handle);
  if (request_writer == nullptr) {
    return Caller::Gone;
  }
  const dds_guid_t caller = request_writer->participant_key;
  dds_builtintopic_free_endpoint(request_writer);

  std::vector<dds_instance_handle_t> readers(16);
  dds_return_t count = dds_get_matched_subscriptions(writer_, readers.data(), readers.size());
  if (count > static_cast<dds_return_t>(readers.size())) {
    readers.resize(static_cast<size_t>(count));
    count = dds_get_matched_subscriptions(writer_, readers.data(), readers.size());
  }
  for (dds_return_t i = 0; i < count && i < static_cast<dds_return_t>(readers.size()); ++i) {
    dds_builtintopic_endpoint_t * reader = dds_get_matched_subscription_data(writer_, readers[i]);
    if (reader != nullptr) {
      const bool found = same_guid(reader->participant_key, caller);
      dds_builtintopic_free_endpoint(reader);
      if (found) {
        return Caller::Present;
      }
    }
  }
  return Caller::Unknown;
}

void DdsServiceEndpoint::send_response(const ServiceRequest & request, const void * response)
{
  // The reply topic is volatile: sent before our writer has discovered the caller's reply
  // reader, the reply would be lost. Humble's servers wait up to 100 ms for it, and so do we.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
  Caller caller = find_caller(request);
  while (caller == Caller::Unknown && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    caller = find_caller(request);
  }
  if (caller == Caller::Gone) {
    return;  // nobody left to answer
  }
  if (caller == Caller::Unknown) {
    RCUTILS_LOG_WARN_NAMED(
      "rclcpp",
      "dropped the reply to call %" PRId64 " on %s: the caller's reply reader was not found",
      request.sequence_number, service_name_.c_str());
    return;
  }
  try {
    const dds_wire::RequestHeader header{request.client_guid, request.sequence_number};
    const std::vector<uint8_t> bytes =
      dds_wire::ServiceSample::serialize(header, response, response_type_support_);
    auto * sample =
      dds_wire::RosSerdata::create_padded(reply_topic_.sertype(), bytes.data(), bytes.size());
    if (sample == nullptr) {
      throw std::bad_alloc();
    }
    const dds_return_t result = dds_writecdr(writer_, sample);  // takes over the reference
    if (result != DDS_RETCODE_OK) {
      RCUTILS_LOG_ERROR_NAMED(
        "rclcpp", "could not send the reply to call %" PRId64 " on %s: %s",
        request.sequence_number, service_name_.c_str(),
        dds_strretcode(result));
    }
  } catch (const std::exception & error) {
    RCUTILS_LOG_ERROR_NAMED(
      "rclcpp", "could not encode the reply to call %" PRId64 " on %s: %s",
      request.sequence_number, service_name_.c_str(), error.what());
  }
}

}  // namespace detail
}  // namespace rclcpp
