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

#include "rclcpp/parameter_value.hpp"

#include <ios>
#include <sstream>
#include <string>
#include <vector>

namespace rclcpp
{

std::string
to_string(ParameterType type)
{
  switch (type) {
    case ParameterType::PARAMETER_NOT_SET:
      return "not set";
    case ParameterType::PARAMETER_BOOL:
      return "bool";
    case ParameterType::PARAMETER_INTEGER:
      return "integer";
    case ParameterType::PARAMETER_DOUBLE:
      return "double";
    case ParameterType::PARAMETER_STRING:
      return "string";
    case ParameterType::PARAMETER_BYTE_ARRAY:
      return "byte_array";
    case ParameterType::PARAMETER_BOOL_ARRAY:
      return "bool_array";
    case ParameterType::PARAMETER_INTEGER_ARRAY:
      return "integer_array";
    case ParameterType::PARAMETER_DOUBLE_ARRAY:
      return "double_array";
    case ParameterType::PARAMETER_STRING_ARRAY:
      return "string_array";
  }
  return "unknown type";
}

std::ostream &
operator<<(std::ostream & os, ParameterType type)
{
  return os << rclcpp::to_string(type);
}

namespace
{

// "[a, b, c]"; bytes print as hex numbers, bools as true/false, like rclcpp does.
template<typename ValueT, typename PrintT = ValueT>
std::string
array_to_string(
  const std::vector<ValueT> & array,
  const std::ios::fmtflags format_flags = std::ios::dec)
{
  std::stringstream stream;
  stream.setf(format_flags, std::ios_base::basefield | std::ios::boolalpha);
  stream << std::showbase << "[";
  bool first_item = true;
  for (const ValueT & value : array) {
    if (!first_item) {
      stream << ", ";
    }
    first_item = false;
    stream << static_cast<PrintT>(value);
  }
  stream << "]";
  return stream.str();
}

}  // namespace

std::string
to_string(const ParameterValue & value)
{
  switch (value.get_type()) {
    case ParameterType::PARAMETER_NOT_SET:
      return "not set";
    case ParameterType::PARAMETER_BOOL:
      return value.get<bool>() ? "true" : "false";
    case ParameterType::PARAMETER_INTEGER:
      return std::to_string(value.get<int64_t>());
    case ParameterType::PARAMETER_DOUBLE:
      return std::to_string(value.get<double>());
    case ParameterType::PARAMETER_STRING:
      return value.get<std::string>();
    case ParameterType::PARAMETER_BYTE_ARRAY:
      return array_to_string<uint8_t, int>(value.get<std::vector<uint8_t>>(), std::ios::hex);
    case ParameterType::PARAMETER_BOOL_ARRAY:
      return array_to_string(value.get<std::vector<bool>>(), std::ios::boolalpha);
    case ParameterType::PARAMETER_INTEGER_ARRAY:
      return array_to_string(value.get<std::vector<int64_t>>());
    case ParameterType::PARAMETER_DOUBLE_ARRAY:
      return array_to_string(value.get<std::vector<double>>());
    case ParameterType::PARAMETER_STRING_ARRAY:
      return array_to_string(value.get<std::vector<std::string>>());
  }
  return "unknown type";
}

ParameterValue::ParameterValue()
{
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_NOT_SET;
}

ParameterValue::ParameterValue(const rcl_interfaces::msg::ParameterValue & value)
{
  if (value.type > rcl_interfaces::msg::ParameterType::PARAMETER_STRING_ARRAY) {
    throw std::runtime_error("Unknown type: " + std::to_string(value.type));
  }
  value_ = value;
}

ParameterValue::ParameterValue(const bool bool_value)
{
  value_.bool_value = bool_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_BOOL;
}

ParameterValue::ParameterValue(const int int_value)
: ParameterValue(static_cast<int64_t>(int_value))
{}

ParameterValue::ParameterValue(const int64_t int_value)
{
  value_.integer_value = int_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER;
}

ParameterValue::ParameterValue(const float double_value)
: ParameterValue(static_cast<double>(double_value))
{}

ParameterValue::ParameterValue(const double double_value)
{
  value_.double_value = double_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE;
}

ParameterValue::ParameterValue(const std::string & string_value)
{
  value_.string_value = string_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_STRING;
}

ParameterValue::ParameterValue(const char * string_value)
: ParameterValue(std::string(string_value))
{}

ParameterValue::ParameterValue(const std::vector<uint8_t> & byte_array_value)
{
  value_.byte_array_value = byte_array_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_BYTE_ARRAY;
}

ParameterValue::ParameterValue(const std::vector<bool> & bool_array_value)
{
  value_.bool_array_value = bool_array_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_BOOL_ARRAY;
}

ParameterValue::ParameterValue(const std::vector<int> & int_array_value)
: ParameterValue(std::vector<int64_t>(int_array_value.cbegin(), int_array_value.cend()))
{}

ParameterValue::ParameterValue(const std::vector<int64_t> & int_array_value)
{
  value_.integer_array_value = int_array_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER_ARRAY;
}

ParameterValue::ParameterValue(const std::vector<float> & double_array_value)
: ParameterValue(std::vector<double>(double_array_value.cbegin(), double_array_value.cend()))
{}

ParameterValue::ParameterValue(const std::vector<double> & double_array_value)
{
  value_.double_array_value = double_array_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE_ARRAY;
}

ParameterValue::ParameterValue(const std::vector<std::string> & string_array_value)
{
  value_.string_array_value = string_array_value;
  value_.type = rcl_interfaces::msg::ParameterType::PARAMETER_STRING_ARRAY;
}

ParameterType
ParameterValue::get_type() const
{
  return static_cast<ParameterType>(value_.type);
}

rcl_interfaces::msg::ParameterValue
ParameterValue::to_value_msg() const
{
  return value_;
}

bool
ParameterValue::operator==(const ParameterValue & rhs) const
{
  return value_ == rhs.value_;
}

bool
ParameterValue::operator!=(const ParameterValue & rhs) const
{
  return value_ != rhs.value_;
}

void
ParameterValue::check_type(ParameterType expected) const
{
  if (get_type() != expected) {
    throw ParameterTypeException(expected, get_type());
  }
}

}  // namespace rclcpp
