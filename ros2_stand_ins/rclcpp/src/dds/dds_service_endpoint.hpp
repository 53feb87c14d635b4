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

#ifndef DDS__DDS_SERVICE_ENDPOINT_HPP_
#define DDS__DDS_SERVICE_ENDPOINT_HPP_

#include <functional>
#include <memory>
#include <string>

#include "dds/dds.h"
#include "dds_topic.hpp"
#include "rclcpp/detail/transport.hpp"

namespace rclcpp
{
namespace detail
{

/// The server side of a service as Humble's rmw_cyclonedds lays it out: a reader on
/// "rq/<name>Request" and a writer on "rr/<name>Reply", both with the services profile (keep
/// last 10, reliable, volatile) and USER_DATA "serviceid=<id>;", every sample starting with the
/// caller's guid and sequence number, which the reply carries back.
class DdsServiceEndpoint : public ServiceEndpoint
{
public:
  /// Throws std::runtime_error with Cyclone's reason if an entity cannot be created.
  DdsServiceEndpoint(
    dds_entity_t participant, const ServiceEndpointInfo & info,
    std::function<void()> on_request_ready);
  ~DdsServiceEndpoint() override;

  /// The next call that decodes, as a ServiceRequest; malformed ones are logged and dropped.
  std::shared_ptr<const void> take() override;
  bool has_message() const override;
  /// Clients whose request writer matched our reader.
  size_t get_publisher_count() const override;

  void send_response(const ServiceRequest & request, const void * response) override;

  dds_entity_t reader() const {return reader_;}
  dds_entity_t writer() const {return writer_;}

private:
  enum class Caller {Present, Unknown, Gone};

  static void on_data_available(dds_entity_t reader, void * self);
  /// Whether our reply writer has matched a reader of the participant that sent `request`.
  Caller find_caller(const ServiceRequest & request) const;

  std::string service_name_;
  const rosidl_message_type_support_t * request_type_support_;
  const rosidl_message_type_support_t * response_type_support_;
  std::function<void()> on_request_ready_;
  DdsTopic request_topic_;
  DdsTopic reply_topic_;
  dds_entity_t reader_ = 0;
  dds_entity_t writer_ = 0;
  dds_entity_t any_sample_ = 0;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // DDS__DDS_SERVICE_ENDPOINT_HPP_
