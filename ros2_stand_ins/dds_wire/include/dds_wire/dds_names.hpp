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
