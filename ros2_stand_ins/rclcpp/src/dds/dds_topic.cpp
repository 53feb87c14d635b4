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

#include "dds_topic.hpp"

#include <stdexcept>
#include <string>
#include <utility>

#include "dds_wire/dds_names.hpp"
#include "dds_wire/ros_sertype.hpp"

namespace rclcpp
{
namespace detail
{

DdsTopic::DdsTopic(dds_entity_t participant, const TopicEndpointInfo & info)
: DdsTopic(
    participant, info.type_support,
    // As rmw_cyclonedds: such a topic is named on the wire exactly as given, without "rt".
    info.qos.avoid_ros_namespace_conventions() ?
    info.topic_name : dds_wire::DdsNames::message_topic(info.topic_name),
    info.topic_name + " (" + info.type_name + ")")
{}

DdsTopic::DdsTopic(
  dds_entity_t participant, const rosidl_message_type_support_t * type_support,
  const std::string & dds_name, std::string description)
: message_type_(type_support), description_(std::move(description))
{
  // Cyclone takes over the sertype (and may swap in an equal one it already holds).
  ddsi_sertype * sertype = dds_wire::RosSertype::create(type_support);
  topic_ = dds_create_topic_sertype(
    participant,
    dds_name.c_str(), &sertype, nullptr, nullptr, nullptr);
  sertype_ = sertype;
  if (topic_ < 0) {
    throw std::runtime_error(
            "cannot create DDS topic " + dds_name + " for " + description_ + ": " +
            dds_strretcode(topic_));
  }
}

DdsTopic::~DdsTopic()
{
  dds_delete(topic_);
}

}  // namespace detail
}  // namespace rclcpp
