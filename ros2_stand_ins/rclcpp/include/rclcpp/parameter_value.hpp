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

#ifndef RCLCPP__PARAMETER_VALUE_HPP_
#define RCLCPP__PARAMETER_VALUE_HPP_

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "rcl_interfaces/msg/parameter_type.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

enum ParameterType : uint8_t
{
  PARAMETER_NOT_SET = rcl_interfaces::msg::ParameterType::PARAMETER_NOT_SET,
  PARAMETER_BOOL = rcl_interfaces::msg::ParameterType::PARAMETER_BOOL,
  PARAMETER_INTEGER = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER,
  PARAMETER_DOUBLE = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE,
  PARAMETER_STRING = rcl_interfaces::msg::ParameterType::PARAMETER_STRING,
  PARAMETER_BYTE_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_BYTE_ARRAY,
  PARAMETER_BOOL_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_BOOL_ARRAY,
  PARAMETER_INTEGER_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER_ARRAY,
  PARAMETER_DOUBLE_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE_ARRAY,
  PARAMETER_STRING_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_STRING_ARRAY,
};

/// The name users see in error messages: "not set", "bool", "integer", ..., "string_array".
RCLCPP_PUBLIC
std::string
to_string(ParameterType type);

RCLCPP_PUBLIC
std::ostream &
operator<<(std::ostream & os, ParameterType type);

/// Reading a value as another type than it holds; what() is "expected [double] got [string]".
class ParameterTypeException : public std::runtime_error
{
public:
  RCLCPP_PUBLIC
  ParameterTypeException(ParameterType expected, ParameterType actual)
  : std::runtime_error("expected [" + rclcpp::to_string(expected) + "] got [" +
      rclcpp::to_string(actual) + "]")
  {}
};

/// One parameter value of any of the ROS parameter types (or none).
class ParameterValue
{
public:
  /// A value of type PARAMETER_NOT_SET.
  RCLCPP_PUBLIC
  ParameterValue();
  RCLCPP_PUBLIC
  explicit ParameterValue(const rcl_interfaces::msg::ParameterValue & value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const bool bool_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const int int_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const int64_t int_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const float double_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const double double_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const std::string & string_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const char * string_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const std::vector<uint8_t> & byte_array_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const std::vector<bool> & bool_array_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const std::vector<int> & int_array_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const std::vector<int64_t> & int_array_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const std::vector<float> & double_array_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const std::vector<double> & double_array_value);
  RCLCPP_PUBLIC
  explicit ParameterValue(const std::vector<std::string> & string_array_value);

  RCLCPP_PUBLIC
  ParameterType
  get_type() const;

  RCLCPP_PUBLIC
  rcl_interfaces::msg::ParameterValue
  to_value_msg() const;

  RCLCPP_PUBLIC
  bool
  operator==(const ParameterValue & rhs) const;

  RCLCPP_PUBLIC
  bool
  operator!=(const ParameterValue & rhs) const;

  /// The value as the C++ type its ParameterType holds, e.g. get<PARAMETER_INTEGER>() is a
  /// const int64_t &. Throws ParameterTypeException if the value holds another type.
  template<ParameterType type>
  constexpr
  const auto &
  get() const
  {
    static_assert(type != ParameterType::PARAMETER_NOT_SET, "an unset value has nothing to get");
    check_type(type);
    if constexpr (type == ParameterType::PARAMETER_BOOL) {
      return value_.bool_value;
    } else if constexpr (type == ParameterType::PARAMETER_INTEGER) {
      return value_.integer_value;
    } else if constexpr (type == ParameterType::PARAMETER_DOUBLE) {
      return value_.double_value;
    } else if constexpr (type == ParameterType::PARAMETER_STRING) {
      return value_.string_value;
    } else if constexpr (type == ParameterType::PARAMETER_BYTE_ARRAY) {
      return value_.byte_array_value;
    } else if constexpr (type == ParameterType::PARAMETER_BOOL_ARRAY) {
      return value_.bool_array_value;
    } else if constexpr (type == ParameterType::PARAMETER_INTEGER_ARRAY) {
      return value_.integer_array_value;
    } else if constexpr (type == ParameterType::PARAMETER_DOUBLE_ARRAY) {
      return value_.double_array_value;
    } else {
      return value_.string_array_value;
    }
  }

  /// The value read as the ParameterType that holds the C++ type `type` (see
  /// parameter_type_for below): get<int>() is a const int64_t &, get<float>() a const double &.
  template<typename type>
  constexpr
  decltype(auto)
  get() const
  {
    constexpr ParameterType parameter_type = parameter_type_for<type>();
    static_assert(
      parameter_type != ParameterType::PARAMETER_NOT_SET, "no parameter type holds this C++ type");
    return get<parameter_type>();
  }

private:
  /// Humble's mapping: any integral type but bool reads the integer, any floating point type
  /// the double, anything convertible to std::string the string, and vectors of int or float
  /// the int64_t or double arrays. PARAMETER_NOT_SET for a type no parameter holds.
  template<typename T>
  static constexpr ParameterType parameter_type_for()
  {
    if constexpr (std::is_same<T, bool>::value) {
      return ParameterType::PARAMETER_BOOL;
    } else if constexpr (std::is_integral<T>::value) {
      return ParameterType::PARAMETER_INTEGER;
    } else if constexpr (std::is_floating_point<T>::value) {
      return ParameterType::PARAMETER_DOUBLE;
    } else if constexpr (std::is_convertible<T, std::string>::value) {
      return ParameterType::PARAMETER_STRING;
    } else if constexpr (converts_to<T, std::vector<uint8_t>>()) {
      return ParameterType::PARAMETER_BYTE_ARRAY;
    } else if constexpr (converts_to<T, std::vector<bool>>()) {
      return ParameterType::PARAMETER_BOOL_ARRAY;
    } else if constexpr (converts_to<T, std::vector<int>, std::vector<int64_t>>()) {
      return ParameterType::PARAMETER_INTEGER_ARRAY;
    } else if constexpr (converts_to<T, std::vector<float>, std::vector<double>>()) {
      return ParameterType::PARAMETER_DOUBLE_ARRAY;
    } else if constexpr (converts_to<T, std::vector<std::string>>()) {
      return ParameterType::PARAMETER_STRING_ARRAY;
    } else {
      return ParameterType::PARAMETER_NOT_SET;
    }
  }

  template<typename T, typename ... Vectors>
  static constexpr bool converts_to()
  {
    return std::disjunction<std::is_convertible<T, const Vectors &>...>::value;
  }

  RCLCPP_PUBLIC
  void check_type(ParameterType expected) const;

  rcl_interfaces::msg::ParameterValue value_;
};

/// The value as text, e.g. "3", "2.5", "true", "abc", "[1, 2]".
RCLCPP_PUBLIC
std::string
to_string(const ParameterValue & type);

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_VALUE_HPP_
