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

#ifndef DDS_WIRE__ROS_SERTYPE_HPP_
#define DDS_WIRE__ROS_SERTYPE_HPP_

#include "dds/ddsi/ddsi_sertype.h"
#include "dds_wire/cdr_serializer.hpp"
#include "dds_wire/message_type.hpp"
#include "rosidl_runtime_c/message_type_support_struct.h"

namespace dds_wire
{

/// A Cyclone DDS sertype whose samples are generated ROS C++ messages, serialized with
/// CdrSerializer -- what lets one DDS topic carry any message type the introspection type
/// support describes, under the type name ROS 2 Humble peers register
/// ("sensor_msgs::msg::dds_::LaserScan_").
///
/// Topics are keyless and only classic CDR (XCDR1) is offered, as rmw_cyclonedds does.
/// Cyclone owns instances through reference counts: create one, hand it to
/// dds_create_topic_sertype (which may swap in an equal instance it already knows), and never
/// delete it yourself.
class RosSertype : public ddsi_sertype
{
public:
  /// Throws std::invalid_argument for a type support that is not C++ introspection, or whose
  /// messages have a field with no CDR form (long double).
  static ddsi_sertype * create(const rosidl_message_type_support_t * type_support);

  /// Only valid for sertypes made by create().
  static const RosSertype & from(const ddsi_sertype * sertype)
  {
    return *static_cast<const RosSertype *>(sertype);
  }

  const MessageType & message_type() const {return message_type_;}
  const CdrSerializer & serializer() const {return serializer_;}

private:
  explicit RosSertype(const rosidl_message_type_support_t * type_support);

  MessageType message_type_;
  CdrSerializer serializer_;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__ROS_SERTYPE_HPP_
