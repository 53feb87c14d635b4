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

#ifndef DDS_WIRE__DDS_NAMES_HPP_
#define DDS_WIRE__DDS_NAMES_HPP_

#include <string>

namespace dds_wire
{

/// The DDS topic names ROS 2 Humble uses for fully qualified ROS names ("/a/b").
class DdsNames
{
public:
  /// "/a/b" -> "rt/a/b".
  static std::string message_topic(const std::string & ros_topic) {return "rt" + ros_topic;}
  /// "/node/get_parameters" -> "rq/node/get_parametersRequest".
  static std::string request_topic(const std::string & ros_service)
  {
    return "rq" + ros_service + "Request";
  }
  /// "/node/get_parameters" -> "rr/node/get_parametersReply".
  static std::string reply_topic(const std::string & ros_service)
  {
    return "rr" + ros_service + "Reply";
  }
};

}  // namespace dds_wire

#endif  // DDS_WIRE__DDS_NAMES_HPP_
