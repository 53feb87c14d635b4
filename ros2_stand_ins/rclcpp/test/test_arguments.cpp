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

#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "rclcpp/detail/arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "runtime_test_support.hpp"

using rclcpp::ParameterValue;
using rclcpp::detail::Arguments;
using test_support::ParamTestFiles;

namespace
{

/// The overrides the arguments give the node /node_fqn.
std::map<std::string, ParameterValue>
overrides_for(const Arguments & arguments, const std::string & node_fqn = "/talker")
{
  std::map<std::string, ParameterValue> overrides;
  arguments.apply_parameter_overrides(node_fqn, overrides);
  return overrides;
}

ParameterValue
typed(const std::string & value_text)
{
  auto overrides = overrides_for(Arguments::parse({"--ros-args", "-p", "x:=" + value_text}));
  return overrides.at("x");
}

/// The what() of the RCLInvalidROSArgsError that parsing args throws ("" if none).
std::string
parse_error(const std::vector<std::string> & args)
{
  try {
    Arguments::parse(args);
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError & e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(Arguments, NonRosArgumentsAreKeptInOrder)
{
  const auto arguments = Arguments::parse(
    {"prog", "a", "--ros-args", "-p", "x:=1", "-r", "__node:=n", "--", "b", "--ros-args",
      "--log-level", "debug", "-e", "/enclave", "--disable-rosout-logs"});
  EXPECT_EQ(arguments.non_ros_arguments(), (std::vector<std::string>{"prog", "a", "b"}));
  EXPECT_TRUE(arguments.unknown_ros_arguments().empty());
  EXPECT_EQ(arguments.node_name(), "n");
  EXPECT_EQ(overrides_for(arguments).at("x"), ParameterValue(1));

  // "--" outside a ROS section belongs to the program; unknown flags inside one are kept apart.
  const auto other = Arguments::parse({"prog", "--", "--ros-args", "--foo", "-p", "y:=z"});
  EXPECT_EQ(other.non_ros_arguments(), (std::vector<std::string>{"prog", "--"}));
  EXPECT_EQ(other.unknown_ros_arguments(), (std::vector<std::string>{"--foo"}));
  EXPECT_EQ(overrides_for(other).at("y"), ParameterValue("z"));
}

TEST(Arguments, MalformedRosArgumentsAreRejectedClearly)
{
  // what() is rcl's formatted error: the message, then ", at <source>:<line>".
  EXPECT_EQ(
    parse_error({"--ros-args", "-p"}).rfind(
      "Couldn't parse trailing -p flag. No parameter override rule found., at ", 0), 0u);
  EXPECT_EQ(
    parse_error({"--ros-args", "--params-file"}).rfind(
      "Couldn't parse trailing --params-file flag. No params file found., at ", 0), 0u);
  const std::pair<std::vector<std::string>, const char *> cases[] = {
    {{"-p", "novalue"}, "Couldn't parse parameter override rule: '-p novalue'"},
    {{"-p", "1bad:=1"}, "not a valid parameter name"},
    {{"-p", "qos_overrides./1topic.publisher.depth:=1"}, "not a valid parameter name"},
    {{"-p", "qos_overrides..depth:=1"}, "not a valid parameter name"},
    {{"-r", "a"}, "Couldn't parse remap rule: '-r a'"},
    {{"-r", "__ns:=relative"}, "absolute namespace"}, {{"--log-level", "loud"}, "not a log level"}};
  for (auto [args, expected] : cases) {
    args.insert(args.begin(), "--ros-args");
    EXPECT_NE(parse_error(args).find(expected), std::string::npos) << expected;
  }
  // Outside --ros-args nothing is interpreted.
  EXPECT_EQ(parse_error({"-p", "-r", "--params-file"}), "");
}

// A topic name between dots is one part of a parameter name, on the command line as in a file.
TEST(Arguments, QosOverrideNamesHoldTheTopicName)
{
  const std::string name =
    "qos_overrides./quorvex_ultrasonic/original_ultrasonic.subscription.reliability";
  EXPECT_EQ(
    overrides_for(Arguments::parse({"--ros-args", "-p", name + ":=best_effort"})).at(name),
    ParameterValue("best_effort"));
  ParamTestFiles files;
  const auto path = files.write(
    "qos.yaml",
    "talker:\n"
    "  ros__parameters:\n"
    "    qos_overrides:\n"
    "      /quorvex_ultrasonic/original_ultrasonic:\n"
    "        subscription:\n"
    "          reliability: best_effort\n");
  EXPECT_EQ(
    overrides_for(Arguments::parse({"--ros-args", "--params-file", path})).at(name),
    ParameterValue("best_effort"));
}

// Values are typed as rcl types YAML scalars: order bool, integer, double, string.
TEST(Arguments, ParameterValuesAreTypedLikeRcl)
{
  for (const char * text : {"true", "True", "TRUE", "yes", "on", "On", "y"}) {
    EXPECT_EQ(typed(text), ParameterValue(true)) << text;
  }
  for (const char * text : {"false", "False", "FALSE", "no", "OFF", "n"}) {
    EXPECT_EQ(typed(text), ParameterValue(false)) << text;
  }
  const std::pair<const char *, ParameterValue> values[] = {
    {"3", ParameterValue(3)}, {"-3", ParameterValue(-3)}, {"+4", ParameterValue(4)},
    {"0x10", ParameterValue(16)}, {"3.0", ParameterValue(3.0)}, {"1e3", ParameterValue(1000.0)},
    {"-2.5e-1", ParameterValue(-0.25)}, {".inf", ParameterValue(INFINITY)},
    {"-.inf", ParameterValue(-INFINITY)}, {"abc", ParameterValue("abc")},
    {"hello world", ParameterValue("hello world")}, {"'3'", ParameterValue("3")},
    {"\"true\"", ParameterValue("true")}, {"''", ParameterValue("")},
    {"!!str 5", ParameterValue("5")},
    {"[1, 2]", ParameterValue(std::vector<int64_t>{1, 2})},
    {"[1.0, 2.0]", ParameterValue(std::vector<double>{1.0, 2.0})},
    {"[a, b]", ParameterValue(std::vector<std::string>{"a", "b"})},
    {"[true, off]", ParameterValue(std::vector<bool>{true, false})},
    {"['1', '2']", ParameterValue(std::vector<std::string>{"1", "2"})}};
  for (const auto & [text, value] : values) {
    EXPECT_EQ(typed(text), value) << text;
  }
  EXPECT_TRUE(std::isnan(typed(".nan").get<double>()));

  EXPECT_NE(
    parse_error({"--ros-args", "-p", "x:=[1, 2.0]"}).find(
      "mixes element types (integer and double)"), std::string::npos);
  EXPECT_NE(
    parse_error({"--ros-args", "-p", "x:=[[1], [2]]"}).find("only hold scalar values"),
    std::string::npos);
  EXPECT_NE(parse_error({"--ros-args", "-p", "x:={a: 1}"}).find("not a map"), std::string::npos);
  EXPECT_NE(parse_error({"--ros-args", "-p", "x:="}).find("no value"), std::string::npos);
}

// An empty list has no element type; like rclcpp, it only fails for a node it applies to.
TEST(Arguments, EmptyListFailsWhenApplied)
{
  const auto arguments = Arguments::parse({"--ros-args", "-p", "talker:x:=[]"});
  EXPECT_NO_THROW(overrides_for(arguments, "/listener"));
  const std::string error = test_support::what_of<rclcpp::exceptions::InvalidParametersException>(
    [&]() {overrides_for(arguments, "/talker");});
  EXPECT_NE(error.find("'x'"), std::string::npos) << error;
  EXPECT_NE(error.find("empty list"), std::string::npos) << error;
}

TEST(Arguments, ParamsFileStructure)
{
  ParamTestFiles files;
  const auto path = files.write(
    "params.yaml",
    "/**:\n"
    "  ros__parameters:\n"
    "    common: 1\n"
    "talker:\n"
    "  ros__parameters:\n"
    "    rate: 10.0\n"
    "    name: \"7\"\n"
    "    laser:\n"
    "      frames: [a, b]\n"
    "      ranges:\n"
    "        - 1.5\n"
    "        - 2.5\n"
    "/ns/listener:\n"
    "  ros__parameters: {depth: 3}\n"
    "robot:\n"
    "  driver:\n"
    "    ros__parameters:\n"
    "      port: /dev/tty0\n"
    "/*:\n"
    "  ros__parameters:\n"
    "    top_level_only: true\n");
  const auto arguments = Arguments::parse({"--ros-args", "--params-file", path});
  EXPECT_EQ(arguments.parameter_files(), (std::vector<std::string>{path}));

  const auto talker = overrides_for(arguments, "/talker");
  EXPECT_EQ(talker.at("common"), ParameterValue(1));
  EXPECT_EQ(talker.at("rate"), ParameterValue(10.0));
  EXPECT_EQ(talker.at("name"), ParameterValue("7"));
  EXPECT_EQ(talker.at("laser.frames"), ParameterValue(std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(talker.at("laser.ranges"), ParameterValue(std::vector<double>{1.5, 2.5}));
  EXPECT_EQ(talker.at("top_level_only"), ParameterValue(true));
  EXPECT_EQ(talker.count("depth"), 0u);

  const auto listener = overrides_for(arguments, "/ns/listener");
  EXPECT_EQ(listener.at("depth"), ParameterValue(3));
  EXPECT_EQ(listener.at("common"), ParameterValue(1));
  EXPECT_EQ(listener.count("top_level_only"), 0u);  // "/*" is one level only

  const auto driver = overrides_for(arguments, "/robot/driver");
  EXPECT_EQ(driver.at("port"), ParameterValue("/dev/tty0"));
  EXPECT_EQ(driver.count("rate"), 0u);
}

TEST(Arguments, BadParamsFilesNameTheFileAndTheProblem)
{
  ParamTestFiles files;
  const auto check = [&files](const std::string & content, const std::string & expected) {
      const auto path = files.write("bad" + std::to_string(content.size()) + ".yaml", content);
      const std::string error = parse_error({"--ros-args", "--params-file", path});
      EXPECT_NE(
        error.find("Couldn't parse params file: '--params-file " + path + "'"),
        std::string::npos) << error;
      EXPECT_NE(error.find(expected), std::string::npos) << error;
    };
  check("node:\n  ros__parameters:\n    x: [1, a]\n", ":3: list 'x' mixes element types");
  check("node:\n  rate: 3\n", ":2: 'rate' has a value outside ros__parameters");
  check("ros__parameters:\n  x: 1\n", "there is no node name before ros__parameters");
  check("node:\n  ros__parameters:\n    x:\n", "no value");
  check("node:\n  ros__parameters:\n    x: [1\n", "did not find expected");
  check("- a\n- b\n", "the top level must be a map of node names");

  const std::string missing = parse_error({"--ros-args", "--params-file", files.path("nope")});
  EXPECT_NE(missing.find("cannot open parameters file"), std::string::npos) << missing;
}

// Sections apply in the order their node key first appeared; within a section a later
// value replaces the earlier one. This is how rclcpp resolves -p and params files.
TEST(Arguments, OverridesResolveInFirstAppearanceOrder)
{
  ParamTestFiles files;
  const auto node_first = files.write(
    "node_first.yaml",
    "talker:\n  ros__parameters:\n    a: from_node\n"
    "/**:\n  ros__parameters:\n    a: from_wildcard\n    b: from_wildcard\n");
  const auto wildcard_only = files.write(
    "wildcard.yaml", "/**:\n  ros__parameters:\n    b: from_second_file\n");

  // -p first: its /** section comes before the node's, so the node section wins.
  auto overrides = overrides_for(
    Arguments::parse({"--ros-args", "-p", "a:=from_p", "--params-file", node_first}));
  EXPECT_EQ(overrides.at("a"), ParameterValue("from_node"));

  // -p after: it updates the file's /** section in place; that section comes after the
  // node's, so -p wins.
  overrides = overrides_for(
    Arguments::parse({"--ros-args", "--params-file", node_first, "-p", "a:=from_p"}));
  EXPECT_EQ(overrides.at("a"), ParameterValue("from_p"));

  // Later files update earlier values of the same section.
  overrides = overrides_for(
    Arguments::parse(
      {"--ros-args", "--params-file", node_first, "--params-file",
        wildcard_only}));
  EXPECT_EQ(overrides.at("b"), ParameterValue("from_second_file"));

  // -p with a node prefix only reaches that node.
  const auto prefixed = Arguments::parse({"--ros-args", "-p", "listener:c:=1"});
  EXPECT_EQ(overrides_for(prefixed, "/talker").count("c"), 0u);
  EXPECT_EQ(overrides_for(prefixed, "/listener").at("c"), ParameterValue(1));
}

TEST(Arguments, NodeKeysMatchFullyQualifiedNames)
{
  const std::tuple<const char *, const char *, bool> cases[] = {
    {"/**", "/a", true}, {"/**", "/a/b/c", true}, {"/*", "/a", true}, {"/*", "/a/b", false},
    {"/ns/*", "/ns/a", true}, {"/ns/*", "/other/a", false}, {"/ns/**", "/ns/x/y", true},
    {"/talker", "/talker", true}, {"/talker", "/ns/talker", false}, {"/talk", "/talker", false}};
  for (const auto & [key, fqn, matches] : cases) {
    EXPECT_EQ(rclcpp::detail::node_key_matches(key, fqn), matches) << key << " " << fqn;
  }
}

// File values go through the same typing as -p values, rcl's quirks included.
TEST(Arguments, ParamsFileValuesAreTypedLikeRcl)
{
  ParamTestFiles files;
  const auto path = files.write(
    "typed.yaml",
    "talker:\n"
    "  ros__parameters:\n"
    "    hex: 0x1F\n"
    "    leading_zero: 08\n"
    "    too_big_for_int64: 99999999999999999999\n"
    "    quoted_number: '12'\n"
    "    flags:\n"
    "      - on\n"
    "      - False\n"
    "    repeated: 1\n"
    "    repeated: 2\n");
  const auto overrides = overrides_for(Arguments::parse({"--ros-args", "--params-file", path}));
  EXPECT_EQ(overrides.at("hex"), ParameterValue(31));
  EXPECT_EQ(overrides.at("leading_zero"), ParameterValue(8.0));  // not octal, not an integer
  EXPECT_EQ(overrides.at("too_big_for_int64").get_type(), rclcpp::PARAMETER_DOUBLE);
  EXPECT_EQ(overrides.at("quoted_number"), ParameterValue("12"));
  EXPECT_EQ(overrides.at("flags"), ParameterValue(std::vector<bool>{true, false}));
  EXPECT_EQ(overrides.at("repeated"), ParameterValue(2));
}
