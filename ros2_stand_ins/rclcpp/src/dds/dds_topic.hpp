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

#ifndef DDS__DDS_TOPIC_HPP_
#define DDS__DDS_TOPIC_HPP_

#include <string>

#include "dds/dds.h"
#include "dds_wire/message_type.hpp"
#include "rclcpp/detail/transport.hpp"

namespace rclcpp
{
namespace detail
{

/// One endpoint's handle on the DDS topic "rt/<ros name>" with type "pkg::msg::dds_::Name_".
/// Cyclone shares the underlying topic between the handles of one participant.
class DdsTopic
{
public:
  /// Throws std::runtime_error with Cyclone's reason if the topic cannot be created.
  DdsTopic(dds_entity_t participant, const TopicEndpointInfo & info);
  /// A topic of any DDS name, e.g. a service's "rq/<name>Request"; `description` is for logs.
  DdsTopic(
    dds_entity_t participant, const rosidl_message_type_support_t * type_support,
    const std::string & dds_name, std::string description);
  ~DdsTopic();

  DdsTopic(const DdsTopic &) = delete;
  DdsTopic & operator=(const DdsTopic &) = delete;

  dds_entity_t handle() const {return topic_;}
  /// The sertype Cyclone keeps for the topic, for samples built by hand.
  const ddsi_sertype * sertype() const {return sertype_;}
  const dds_wire::MessageType & message_type() const {return message_type_;}
  /// "/ultrasonic_laser1 (sensor_msgs/msg/LaserScan)", for log lines.
  const std::string & description() const {return description_;}

private:
  dds_wire::MessageType message_type_;
  std::string description_;
  dds_entity_t topic_;
  const ddsi_sertype * sertype_ = nullptr;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // DDS__DDS_TOPIC_HPP_
