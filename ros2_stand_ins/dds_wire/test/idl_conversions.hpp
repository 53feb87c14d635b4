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

// Test helper: field-by-field copies from the C structs that Cyclone's idlc generated from
// ros_wire_types.idl to the ROS C++ messages. Comparing through these (and then with the
// messages' operator==) checks every field without trusting either serializer.
#ifndef IDL_CONVERSIONS_HPP_
#define IDL_CONVERSIONS_HPP_

#include <string>
#include <vector>

#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "idl/ros_wire_types.h"
#include "rcl_interfaces/msg/parameter_value.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

namespace dds_wire_test
{

template<typename T, typename Sequence>
std::vector<T> vector_from(const Sequence & sequence)
{
  return std::vector<T>(sequence._buffer, sequence._buffer + sequence._length);
}

inline builtin_interfaces::msg::Time from_c(const builtin_interfaces_msg_dds__Time_ & c)
{
  builtin_interfaces::msg::Time ros;
  ros.sec = c.sec;
  ros.nanosec = c.nanosec;
  return ros;
}

inline std_msgs::msg::Header from_c(const std_msgs_msg_dds__Header_ & c)
{
  std_msgs::msg::Header ros;
  ros.stamp = from_c(c.stamp);
  ros.frame_id = c.frame_id;
  return ros;
}

inline std_msgs::msg::UInt16MultiArray from_c(const std_msgs_msg_dds__UInt16MultiArray_ & c)
{
  std_msgs::msg::UInt16MultiArray ros;
  for (uint32_t i = 0; i < c.layout.dim._length; ++i) {
    std_msgs::msg::MultiArrayDimension dimension;
    dimension.label = c.layout.dim._buffer[i].label;
    dimension.size = c.layout.dim._buffer[i].size;
    dimension.stride = c.layout.dim._buffer[i].stride;
    ros.layout.dim.push_back(dimension);
  }
  ros.layout.data_offset = c.layout.data_offset;
  ros.data = vector_from<uint16_t>(c.data);
  return ros;
}

inline sensor_msgs::msg::LaserScan from_c(const sensor_msgs_msg_dds__LaserScan_ & c)
{
  sensor_msgs::msg::LaserScan ros;
  ros.header = from_c(c.header);
  ros.angle_min = c.angle_min;
  ros.angle_max = c.angle_max;
  ros.angle_increment = c.angle_increment;
  ros.time_increment = c.time_increment;
  ros.scan_time = c.scan_time;
  ros.range_min = c.range_min;
  ros.range_max = c.range_max;
  ros.ranges = vector_from<float>(c.ranges);
  ros.intensities = vector_from<float>(c.intensities);
  return ros;
}

inline quorvex_protocol::msg::RobotInfoLevelZero from_c(
  const quorvex_protocol_msg_dds__RobotInfoLevelZero_ & c)
{
  quorvex_protocol::msg::RobotInfoLevelZero ros;
  ros.header = from_c(c.header);
  ros.bumper_trig = c.bumper_trig;
  return ros;
}

inline diagnostic_msgs::msg::DiagnosticArray from_c(
  const diagnostic_msgs_msg_dds__DiagnosticArray_ & c)
{
  diagnostic_msgs::msg::DiagnosticArray ros;
  ros.header = from_c(c.header);
  for (uint32_t i = 0; i < c.status._length; ++i) {
    const auto & c_status = c.status._buffer[i];
    diagnostic_msgs::msg::DiagnosticStatus status;
    status.level = c_status.level;
    status.name = c_status.name;
    status.message = c_status.message;
    status.hardware_id = c_status.hardware_id;
    for (uint32_t v = 0; v < c_status.values._length; ++v) {
      diagnostic_msgs::msg::KeyValue value;
      value.key = c_status.values._buffer[v].key;
      value.value = c_status.values._buffer[v].value;
      status.values.push_back(value);
    }
    ros.status.push_back(status);
  }
  return ros;
}

inline rcl_interfaces::msg::ParameterValue from_c(const rcl_interfaces_msg_dds__ParameterValue_ & c)
{
  rcl_interfaces::msg::ParameterValue ros;
  ros.type = c.type;
  ros.bool_value = c.bool_value;
  ros.integer_value = c.integer_value;
  ros.double_value = c.double_value;
  ros.string_value = c.string_value;
  ros.byte_array_value = vector_from<uint8_t>(c.byte_array_value);
  ros.bool_array_value = vector_from<bool>(c.bool_array_value);
  ros.integer_array_value = vector_from<int64_t>(c.integer_array_value);
  ros.double_array_value = vector_from<double>(c.double_array_value);
  for (uint32_t i = 0; i < c.string_array_value._length; ++i) {
    ros.string_array_value.push_back(c.string_array_value._buffer[i]);
  }
  return ros;
}

}  // namespace dds_wire_test

#endif  // IDL_CONVERSIONS_HPP_
