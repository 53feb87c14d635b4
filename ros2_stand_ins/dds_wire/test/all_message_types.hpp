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

// Test helper: every message type generated in the workspace, service halves included.
#ifndef ALL_MESSAGE_TYPES_HPP_
#define ALL_MESSAGE_TYPES_HPP_

#include "builtin_interfaces/msg/duration.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "diagnostic_msgs/msg/diagnostic_status.hpp"
#include "diagnostic_msgs/msg/key_value.hpp"
#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rcl_interfaces/msg/floating_point_range.hpp"
#include "rcl_interfaces/msg/integer_range.hpp"
#include "rcl_interfaces/msg/list_parameters_result.hpp"
#include "rcl_interfaces/msg/parameter.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rcl_interfaces/msg/parameter_event_descriptors.hpp"
#include "rcl_interfaces/msg/parameter_type.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/header.hpp"
#include "std_msgs/msg/multi_array_dimension.hpp"
#include "std_msgs/msg/multi_array_layout.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

#include "gtest/gtest.h"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"

namespace dds_wire_test
{

template<typename MessageT>
const rosidl_message_type_support_t * type_support_of()
{
  return rosidl_typesupport_introspection_cpp::get_message_type_support_handle<MessageT>();
}

using AllMessageTypes = ::testing::Types<
  builtin_interfaces::msg::Time,
  builtin_interfaces::msg::Duration,
  std_msgs::msg::Header,
  std_msgs::msg::MultiArrayDimension,
  std_msgs::msg::MultiArrayLayout,
  std_msgs::msg::UInt16MultiArray,
  sensor_msgs::msg::LaserScan,
  rosgraph_msgs::msg::Clock,
  quorvex_protocol::msg::RobotInfoLevelZero,
  diagnostic_msgs::msg::KeyValue,
  diagnostic_msgs::msg::DiagnosticStatus,
  diagnostic_msgs::msg::DiagnosticArray,
  rcl_interfaces::msg::FloatingPointRange,
  rcl_interfaces::msg::IntegerRange,
  rcl_interfaces::msg::ListParametersResult,
  rcl_interfaces::msg::Parameter,
  rcl_interfaces::msg::ParameterDescriptor,
  rcl_interfaces::msg::ParameterEvent,
  rcl_interfaces::msg::ParameterEventDescriptors,
  rcl_interfaces::msg::ParameterType,
  rcl_interfaces::msg::ParameterValue,
  rcl_interfaces::msg::SetParametersResult,
  rcl_interfaces::srv::DescribeParameters_Request,
  rcl_interfaces::srv::DescribeParameters_Response,
  rcl_interfaces::srv::GetParameterTypes_Request,
  rcl_interfaces::srv::GetParameterTypes_Response,
  rcl_interfaces::srv::GetParameters_Request,
  rcl_interfaces::srv::GetParameters_Response,
  rcl_interfaces::srv::ListParameters_Request,
  rcl_interfaces::srv::ListParameters_Response,
  rcl_interfaces::srv::SetParameters_Request,
  rcl_interfaces::srv::SetParameters_Response,
  rcl_interfaces::srv::SetParametersAtomically_Request,
  rcl_interfaces::srv::SetParametersAtomically_Response>;

}  // namespace dds_wire_test

#endif  // ALL_MESSAGE_TYPES_HPP_
