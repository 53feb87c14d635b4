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

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "runtime_test_support.hpp"

using rclcpp::Parameter;
using rclcpp::ParameterType;
using rclcpp::ParameterValue;
using test_support::what_of;

// The C++ type a value is built from decides its parameter type; the classic trap is a
// string literal turning into a bool.
TEST(ParameterValue, CppTypesMapToParameterTypes)
{
  EXPECT_EQ(ParameterValue().get_type(), rclcpp::PARAMETER_NOT_SET);
  EXPECT_EQ(ParameterValue(true).get_type(), rclcpp::PARAMETER_BOOL);
  EXPECT_EQ(ParameterValue(3).get_type(), rclcpp::PARAMETER_INTEGER);
  EXPECT_EQ(ParameterValue(int64_t{3}).get_type(), rclcpp::PARAMETER_INTEGER);
  EXPECT_EQ(ParameterValue(2.5f).get_type(), rclcpp::PARAMETER_DOUBLE);
  EXPECT_EQ(ParameterValue("text").get_type(), rclcpp::PARAMETER_STRING);
  EXPECT_EQ(ParameterValue(std::vector<uint8_t>{1}).get_type(), rclcpp::PARAMETER_BYTE_ARRAY);
  EXPECT_EQ(ParameterValue(std::vector<bool>{true}).get_type(), rclcpp::PARAMETER_BOOL_ARRAY);
  EXPECT_EQ(ParameterValue(std::vector<int>{1}).get_type(), rclcpp::PARAMETER_INTEGER_ARRAY);
  EXPECT_EQ(ParameterValue(std::vector<float>{1.f}).get_type(), rclcpp::PARAMETER_DOUBLE_ARRAY);
  EXPECT_EQ(
    ParameterValue(std::vector<std::string>{"a"}).get_type(), rclcpp::PARAMETER_STRING_ARRAY);

  EXPECT_EQ(ParameterValue(2.5f).get<double>(), 2.5);
  EXPECT_EQ(
    ParameterValue(std::vector<int>{1, -2}).get<std::vector<int64_t>>(),
    (std::vector<int64_t>{1, -2}));
  EXPECT_EQ(ParameterValue("text").get<std::string>(), "text");
}

// Humble code binds these results to references of exactly these types (e.g.
// `const int64_t & n = value.get<int>();`), so neither the types nor the reference may change.
template<typename Expected, typename Actual>
constexpr bool is_ref_to = std::is_same<const Expected &, Actual>::value;

static_assert(is_ref_to<bool, decltype(ParameterValue().get<rclcpp::PARAMETER_BOOL>())>);
static_assert(is_ref_to<int64_t, decltype(ParameterValue().get<rclcpp::PARAMETER_INTEGER>())>);
static_assert(
  is_ref_to<std::vector<bool>,
  decltype(ParameterValue().get<rclcpp::PARAMETER_BOOL_ARRAY>())>);
static_assert(is_ref_to<bool, decltype(ParameterValue().get<bool>())>);
static_assert(is_ref_to<int64_t, decltype(ParameterValue().get<int>())>);
static_assert(is_ref_to<int64_t, decltype(ParameterValue().get<uint8_t>())>);
static_assert(is_ref_to<double, decltype(ParameterValue().get<float>())>);
static_assert(is_ref_to<std::string, decltype(ParameterValue().get<const char *>())>);
static_assert(
  is_ref_to<std::vector<uint8_t>,
  decltype(ParameterValue().get<std::vector<uint8_t>>())>);
static_assert(
  is_ref_to<std::vector<bool>,
  decltype(ParameterValue().get<std::vector<bool>>())>);
static_assert(
  is_ref_to<std::vector<int64_t>,
  decltype(ParameterValue().get<std::vector<int>>())>);
static_assert(
  is_ref_to<std::vector<double>,
  decltype(ParameterValue().get<std::vector<float>>())>);
static_assert(
  is_ref_to<std::vector<std::string>,
  decltype(ParameterValue().get<std::vector<std::string>>())>);


TEST(ParameterValue, WrongTypeAccessNamesBothTypes)
{
  const std::vector<std::pair<ParameterType, std::string>> names = {
    {rclcpp::PARAMETER_NOT_SET, "not set"}, {rclcpp::PARAMETER_BOOL, "bool"},
    {rclcpp::PARAMETER_INTEGER, "integer"}, {rclcpp::PARAMETER_DOUBLE, "double"},
    {rclcpp::PARAMETER_STRING, "string"}, {rclcpp::PARAMETER_BYTE_ARRAY, "byte_array"},
    {rclcpp::PARAMETER_BOOL_ARRAY, "bool_array"},
    {rclcpp::PARAMETER_INTEGER_ARRAY, "integer_array"},
    {rclcpp::PARAMETER_DOUBLE_ARRAY, "double_array"},
    {rclcpp::PARAMETER_STRING_ARRAY, "string_array"}};
  for (const auto & [type, name] : names) {
    EXPECT_EQ(rclcpp::to_string(type), name);
  }

  const ParameterValue text("abc");
  EXPECT_EQ(
    what_of<rclcpp::ParameterTypeException>([&]() {text.get<double>();}),
    "expected [double] got [string]");
  EXPECT_THROW(text.get<rclcpp::PARAMETER_INTEGER>(), rclcpp::ParameterTypeException);
  EXPECT_THROW(ParameterValue(1).get<bool>(), rclcpp::ParameterTypeException);
}

// as_*() and get_value<ParameterType>() report the bare type error; get_value<T>() with a C++
// type names the parameter, and callers catch the two differently.
TEST(Parameter, TypedAccessErrors)
{
  const Parameter speed("speed", "fast");
  EXPECT_THROW(speed.as_double(), rclcpp::ParameterTypeException);
  EXPECT_THROW(speed.get_value<rclcpp::PARAMETER_DOUBLE>(), rclcpp::ParameterTypeException);
  EXPECT_EQ(
    what_of<rclcpp::exceptions::InvalidParameterTypeException>([&]() {speed.get_value<double>();}),
    "parameter 'speed' has invalid type: expected [double] got [string]");

  const Parameter ranges("ranges", std::vector<double>{1.0, 2.0});
  EXPECT_EQ(ranges.as_double_array(), (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(ranges.get_value<std::vector<double>>(), (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(ranges.get_value<ParameterValue>(), ranges.get_parameter_value());
  EXPECT_EQ(ranges.get_type_name(), "double_array");
  EXPECT_EQ(Parameter("n", 7).as_int(), 7);
  EXPECT_TRUE(Parameter("b", true).as_bool());
}

TEST(Parameter, MessageRoundTripAndText)
{
  const std::vector<Parameter> parameters = {
    Parameter("a", true), Parameter("b", 42), Parameter("c", 2.5), Parameter("d", "x"),
    Parameter("e", std::vector<uint8_t>{1, 255}), Parameter("f", std::vector<bool>{true, false}),
    Parameter("g", std::vector<int64_t>{-1, 2}), Parameter("h", std::vector<double>{0.5}),
    Parameter("i", std::vector<std::string>{"p", "q"}), Parameter("j")};
  for (const auto & parameter : parameters) {
    EXPECT_EQ(Parameter::from_parameter_msg(parameter.to_parameter_msg()), parameter);
  }

  EXPECT_EQ(parameters[0].value_to_string(), "true");
  EXPECT_EQ(parameters[1].value_to_string(), "42");
  EXPECT_EQ(parameters[2].value_to_string(), "2.500000");
  EXPECT_EQ(parameters[4].value_to_string(), "[0x1, 0xff]");
  EXPECT_EQ(parameters[5].value_to_string(), "[true, false]");
  EXPECT_EQ(parameters[8].value_to_string(), "[p, q]");
  EXPECT_EQ(parameters[9].value_to_string(), "not set");
  EXPECT_EQ(
    std::to_string(parameters[1]), "{\"name\": \"b\", \"type\": \"integer\", \"value\": \"42\"}");

  rcl_interfaces::msg::ParameterValue bad;
  bad.type = 200;
  EXPECT_THROW(ParameterValue{bad}, std::runtime_error);
}

TEST(Parameter, EqualityCoversNameTypeAndValue)
{
  EXPECT_EQ(Parameter("a", 1), Parameter("a", 1));
  EXPECT_NE(Parameter("a", 1), Parameter("b", 1));
  EXPECT_NE(Parameter("a", 1), Parameter("a", 1.0));
  EXPECT_NE(Parameter("a", 1), Parameter("a", 2));
}

// Callers catch these by their standard bases, so the bases matter as much as the texts.
TEST(Exceptions, BasesAndMessages)
{
  namespace ex = rclcpp::exceptions;
  static_assert(std::is_base_of<std::runtime_error, ex::InvalidParameterTypeException>::value);
  static_assert(std::is_base_of<std::runtime_error, ex::ParameterNotDeclaredException>::value);
  static_assert(std::is_base_of<std::runtime_error, ex::ParameterAlreadyDeclaredException>::value);
  static_assert(std::is_base_of<std::runtime_error, ex::InvalidParameterValueException>::value);
  static_assert(std::is_base_of<std::runtime_error, ex::ParameterImmutableException>::value);
  static_assert(std::is_base_of<std::runtime_error, ex::RCLInvalidROSArgsError>::value);
  static_assert(std::is_base_of<std::invalid_argument, ex::RCLInvalidArgument>::value);
  static_assert(std::is_base_of<std::invalid_argument, ex::InvalidNodeNameError>::value);
  static_assert(std::is_base_of<std::invalid_argument, ex::InvalidTopicNameError>::value);
  static_assert(std::is_base_of<std::runtime_error, rclcpp::ParameterTypeException>::value);

  EXPECT_STREQ(
    ex::InvalidParameterTypeException("p", "why").what(), "parameter 'p' has invalid type: why");
  EXPECT_STREQ(
    ex::InvalidNamespaceError("/a//b", "must not contain repeated '/'", 3).what(),
    "Invalid namespace: must not contain repeated '/':\n  '/a//b'\n      ^\n");

  rcutils_reset_error();
  RCUTILS_SET_ERROR_MSG("bad thing");
  try {
    ex::throw_from_rcl_error(RCL_RET_INVALID_ARGUMENT, "doing x");
    FAIL() << "no exception";
  } catch (const ex::RCLInvalidArgument & e) {
    EXPECT_EQ(e.message, "bad thing");
    EXPECT_EQ(std::string(e.what()).rfind("doing x: bad thing, at ", 0), 0u) << e.what();
  }
  EXPECT_FALSE(rcutils_error_is_set());
  RCUTILS_SET_ERROR_MSG("other");
  EXPECT_THROW(ex::throw_from_rcl_error(RCL_RET_ERROR), ex::RCLError);
  EXPECT_THROW(ex::throw_from_rcl_error(RCL_RET_OK), std::invalid_argument);
}
