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

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime_test_support.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/detail/node_parameters.hpp"
#include "rclcpp/exceptions.hpp"

using rcl_interfaces::msg::ParameterDescriptor;
using rcl_interfaces::msg::SetParametersResult;
using rclcpp::Parameter;
using rclcpp::ParameterValue;
using rclcpp::detail::NodeParameters;
using test_support::ParamTestFiles;
using test_support::what_of;
namespace exceptions = rclcpp::exceptions;

namespace
{

rclcpp::Context::SharedPtr
context_with(const std::vector<std::string> & args)
{
  std::vector<const char *> argv;
  for (const auto & arg : args) {
    argv.push_back(arg.c_str());
  }
  auto context = std::make_shared<rclcpp::Context>();
  context->init(static_cast<int>(argv.size()), argv.data());
  return context;
}

std::unique_ptr<NodeParameters>
make_parameters(
  const rclcpp::NodeOptions & options = rclcpp::NodeOptions(),
  const rclcpp::Context::SharedPtr & context = context_with({"prog"}),
  const std::string & fqn = "/talker")
{
  return std::make_unique<NodeParameters>(fqn, options, context);
}

SetParametersResult
result(bool successful, const std::string & reason = "")
{
  SetParametersResult set_result;
  set_result.successful = successful;
  set_result.reason = reason;
  return set_result;
}

}  // namespace

// Global arguments, then NodeOptions::arguments(), then NodeOptions::parameter_overrides();
// inside one argument list, the node's own section after an earlier "/**" one.
TEST(NodeParameters, OverridePrecedence)
{
  ParamTestFiles files;
  const auto file = files.write(
    "params.yaml",
    "/**:\n  ros__parameters:\n    a: wildcard\n    b: wildcard\n    c: wildcard\n"
    "    d: wildcard\n"
    "talker:\n  ros__parameters:\n    a: node_section\n");
  auto context = context_with(
    {"prog", "--ros-args", "--params-file", file, "-p", "b:=command_line"});

  rclcpp::NodeOptions options;
  options.arguments({"--ros-args", "-p", "c:=node_arguments", "-p", "d:=node_arguments"})
  .append_parameter_override("d", "explicit");
  auto parameters = make_parameters(options, context);
  EXPECT_EQ(parameters->declare_parameter("a", "default"), "node_section");
  EXPECT_EQ(parameters->declare_parameter("b", "default"), "command_line");
  EXPECT_EQ(parameters->declare_parameter("c", "default"), "node_arguments");
  EXPECT_EQ(parameters->declare_parameter("d", "default"), "explicit");
  EXPECT_EQ(parameters->declare_parameter("e", "default"), "default");
  EXPECT_EQ(parameters->declare_parameter("a2", "default", ParameterDescriptor(), true), "default");

  // A node elsewhere only sees the wildcard section.
  auto other = make_parameters(rclcpp::NodeOptions(), context, "/ns/other");
  EXPECT_EQ(other->declare_parameter("a", "default"), "wildcard");

  // Without global arguments only the node's own sources count.
  auto isolated = make_parameters(
    rclcpp::NodeOptions().use_global_arguments(false), context);
  EXPECT_EQ(isolated->declare_parameter("a", "default"), "default");
}

TEST(NodeParameters, OverrideOfAnotherTypeIsRefused)
{
  auto parameters = make_parameters(
    rclcpp::NodeOptions().append_parameter_override("debug", "yes please")
    .append_parameter_override("gain", 2));
  EXPECT_EQ(
    what_of<exceptions::InvalidParameterTypeException>(
      [&]() {parameters->declare_parameter("debug", false);}),
    "parameter 'debug' has invalid type: Wrong parameter type, parameter {debug} is of type "
    "{bool}, setting it to {string} is not allowed.");
  EXPECT_FALSE(parameters->has_parameter("debug"));

  // An integer override does not silently become the double the code expects.
  EXPECT_THROW(
    parameters->declare_parameter("gain", 1.0),
    exceptions::InvalidParameterTypeException);

  ParameterDescriptor dynamic;
  dynamic.dynamic_typing = true;
  EXPECT_EQ(parameters->declare_parameter("gain", ParameterValue(1.0), dynamic), ParameterValue(2));
}

TEST(NodeParameters, DeclarationAndLookupErrors)
{
  auto parameters = make_parameters();
  EXPECT_EQ(parameters->declare_parameter<int>("rate", 10), 10);
  EXPECT_THROW(
    parameters->declare_parameter(
      "rate",
      5), exceptions::ParameterAlreadyDeclaredException);
  EXPECT_THROW(parameters->declare_parameter("", 5), exceptions::InvalidParametersException);
  EXPECT_THROW(
    parameters->declare_parameter("unset", ParameterValue()),
    exceptions::InvalidParameterTypeException);

  EXPECT_THROW(parameters->get_parameter("missing"), exceptions::ParameterNotDeclaredException);
  Parameter parameter;
  EXPECT_FALSE(parameters->get_parameter("missing", parameter));
  double value = 0.0;
  EXPECT_FALSE(parameters->get_parameter("missing", value));
  EXPECT_THROW(
    parameters->set_parameter(Parameter("missing", 1)), exceptions::ParameterNotDeclaredException);

  EXPECT_EQ(
    what_of<exceptions::InvalidParameterTypeException>(
      [&]() {
        parameters->get_parameter("rate", value);
      }),
    "parameter 'rate' has invalid type: expected [double] got [integer]");
  int64_t rate = 0;
  EXPECT_TRUE(parameters->get_parameter("rate", rate));
  EXPECT_EQ(rate, 10);

  // Statically typed without a value: declared, but reading it is an error.
  EXPECT_THROW(
    parameters->declare_parameter<std::string>("frame"),
    exceptions::UninitializedStaticallyTypedParameterException);
  EXPECT_TRUE(parameters->has_parameter("frame"));
  EXPECT_THROW(parameters->get_parameter("frame"), exceptions::ParameterUninitializedException);
}

TEST(NodeParameters, OnSetCallbacksAcceptOrRejectBeforeTheChange)
{
  auto parameters = make_parameters();
  parameters->declare_parameter("speed", 1.0);

  std::vector<double> values_seen_by_callback;
  double value_while_deciding = 0.0;
  auto handle = parameters->add_on_set_parameters_callback(
    [&](const std::vector<Parameter> & changed) {
      values_seen_by_callback.push_back(changed.at(0).as_double());
      value_while_deciding = parameters->get_parameter("speed").as_double();
      return changed.at(0).as_double() > 5.0 ? result(false, "too fast") : result(true);
    });

  EXPECT_TRUE(parameters->set_parameter(Parameter("speed", 2.0)).successful);
  EXPECT_EQ(value_while_deciding, 1.0);  // the callback ran before the change
  auto set_result = parameters->set_parameter(Parameter("speed", 9.0));
  EXPECT_FALSE(set_result.successful);
  EXPECT_EQ(set_result.reason, "too fast");
  EXPECT_EQ(parameters->get_parameter("speed").as_double(), 2.0);

  // Later declarations go through the callback too; a rejection makes them throw.
  EXPECT_EQ(parameters->declare_parameter("slow", 3.0), 3.0);
  EXPECT_EQ(
    what_of<exceptions::InvalidParameterValueException>(
      [&]() {
        parameters->declare_parameter("fast", 8.0);
      }),
    "parameter 'fast' could not be set: too fast");
  EXPECT_FALSE(parameters->has_parameter("fast"));
  EXPECT_EQ(values_seen_by_callback, (std::vector<double>{2.0, 9.0, 3.0, 8.0}));

  // The newest callback runs first and its rejection is the one reported.
  auto strict = parameters->add_on_set_parameters_callback(
    [](const std::vector<Parameter> &) {return result(false, "strict");});
  EXPECT_EQ(parameters->set_parameter(Parameter("speed", 9.0)).reason, "strict");

  // Callbacks live as long as their handle.
  strict.reset();
  parameters->remove_on_set_parameters_callback(handle.get());
  EXPECT_THROW(parameters->remove_on_set_parameters_callback(handle.get()), std::runtime_error);
  EXPECT_TRUE(parameters->set_parameter(Parameter("speed", 9.0)).successful);
}

TEST(NodeParameters, CallbacksMayNotChangeParameters)
{
  auto parameters = make_parameters();
  parameters->declare_parameter("a", 1);
  parameters->declare_parameter("b", 1);
  int calls = 0;
  auto handle = parameters->add_on_set_parameters_callback(
    [&](const std::vector<Parameter> &) {
      EXPECT_THROW(
        parameters->set_parameter(Parameter("b", 2)),
        exceptions::ParameterModifiedInCallbackException);
      ++calls;
      return result(true);
    });
  EXPECT_TRUE(parameters->set_parameter(Parameter("a", 2)).successful);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(parameters->get_parameter("b").as_int(), 1);
  // The guard is released afterwards.
  handle.reset();
  EXPECT_TRUE(parameters->set_parameter(Parameter("b", 3)).successful);
}

TEST(NodeParameters, AtomicSetIsAllOrNothing)
{
  auto parameters = make_parameters();
  parameters->declare_parameter("a", 1);
  parameters->declare_parameter("b", "x");
  auto set_result = parameters->set_parameters_atomically({Parameter("a", 2), Parameter("b", 3)});
  EXPECT_FALSE(set_result.successful);
  EXPECT_EQ(parameters->get_parameter("a").as_int(), 1);

  // set_parameters() treats each parameter on its own.
  auto results = parameters->set_parameters({Parameter("a", 2), Parameter("b", 3)});
  ASSERT_EQ(results.size(), 2u);
  EXPECT_TRUE(results[0].successful);
  EXPECT_FALSE(results[1].successful);
  EXPECT_EQ(parameters->get_parameter("a").as_int(), 2);
}

TEST(NodeParameters, UndeclaredParametersWhenAllowed)
{
  auto parameters = make_parameters(
    rclcpp::NodeOptions().allow_undeclared_parameters(true)
    .append_parameter_override("from_override", 5)
    .automatically_declare_parameters_from_overrides(true));
  EXPECT_TRUE(parameters->has_parameter("from_override"));
  EXPECT_EQ(parameters->get_parameter("from_override").as_int(), 5);

  EXPECT_EQ(parameters->get_parameter("anything").get_type(), rclcpp::PARAMETER_NOT_SET);
  EXPECT_TRUE(parameters->set_parameter(Parameter("implicit", 1)).successful);
  // Implicitly declared parameters are dynamically typed and can be undeclared by unsetting.
  EXPECT_TRUE(parameters->set_parameter(Parameter("implicit", "text")).successful);
  EXPECT_TRUE(parameters->set_parameter(Parameter("implicit")).successful);
  EXPECT_FALSE(parameters->has_parameter("implicit"));

  parameters->declare_parameter("typed", 1);
  EXPECT_FALSE(parameters->set_parameter(Parameter("typed")).successful);
  EXPECT_THROW(parameters->undeclare_parameter("typed"), exceptions::InvalidParameterTypeException);
}

TEST(NodeParameters, EmptyListOverrideFailsAtConstruction)
{
  auto context = context_with({"prog", "--ros-args", "-p", "ranges:=[]"});
  EXPECT_THROW(
    make_parameters(rclcpp::NodeOptions(), context), exceptions::InvalidParametersException);
}

TEST(NodeParameters, ListingAndPrefixes)
{
  auto parameters = make_parameters();
  parameters->declare_parameter("laser.front.frame", "f");
  parameters->declare_parameter("laser.rear.frame", "r");
  parameters->declare_parameter("laser.count", 2);
  parameters->declare_parameter("rate", 1.0);

  std::map<std::string, Parameter> laser;
  EXPECT_TRUE(parameters->get_parameters_by_prefix("laser", laser));
  EXPECT_EQ(laser.size(), 3u);
  EXPECT_EQ(laser.at("front.frame").as_string(), "f");

  // As in rclcpp, the depth below a prefix counts the separator after the prefix too.
  auto listed = parameters->list_parameters({"laser"}, 2);
  EXPECT_EQ(listed.names, (std::vector<std::string>{"laser.count"}));
  listed = parameters->list_parameters({}, 0);
  EXPECT_EQ(listed.names.size(), 4u);
  EXPECT_EQ(listed.prefixes, (std::vector<std::string>{"laser", "laser.front", "laser.rear"}));

  EXPECT_EQ(
    parameters->get_parameter_types({"rate", "laser.count"}),
    (std::vector<uint8_t>{rclcpp::PARAMETER_DOUBLE, rclcpp::PARAMETER_INTEGER}));
  EXPECT_EQ(parameters->describe_parameter("rate").type, rclcpp::PARAMETER_DOUBLE);
  EXPECT_THROW(parameters->describe_parameter("nope"), exceptions::ParameterNotDeclaredException);
}

// Sets from several threads are serialized: a callback never runs twice at once, and every
// accepted value is the one stored.
TEST(NodeParameters, ConcurrentSetsAreSerialized)
{
  auto parameters = make_parameters();
  parameters->declare_parameter("value", 0);
  std::atomic<int> callbacks_running{0};
  std::atomic<bool> overlapped{false};
  auto handle = parameters->add_on_set_parameters_callback(
    [&](const std::vector<Parameter> &) {
      if (callbacks_running.fetch_add(1) != 0) {
        overlapped = true;
      }
      std::this_thread::yield();
      callbacks_running.fetch_sub(1);
      return result(true);
    });

  auto writer = [&parameters](int first) {
      for (int i = 0; i < 500; ++i) {
        parameters->set_parameter(Parameter("value", first + i));
        parameters->get_parameter("value");
      }
    };
  std::thread a(writer, 0);
  std::thread b(writer, 1000);
  a.join();
  b.join();
  EXPECT_FALSE(overlapped);
  const auto last = parameters->get_parameter("value").as_int();
  EXPECT_TRUE(last == 499 || last == 1499) << last;
}
