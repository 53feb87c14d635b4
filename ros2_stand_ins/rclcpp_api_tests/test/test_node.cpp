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

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "rclcpp/exceptions.hpp"
#include "rclcpp/expand_topic_or_service_name.hpp"
#include "rclcpp/node.hpp"
#include "std_msgs/msg/header.hpp"
#include "runtime_test_support.hpp"

using std_msgs::msg::Header;

namespace
{

class NodeTest : public test_support::ContextTest
{
protected:
  rclcpp::Node::SharedPtr make_node(
    const std::string & name, const std::string & namespace_ = "",
    const std::vector<std::string> & arguments = {})
  {
    return std::make_shared<rclcpp::Node>(
      name, namespace_, test_support::options_for(context_).arguments(arguments));
  }

  /// The topic a publisher of `node` ends up on.
  static std::string published_topic(
    const rclcpp::Node::SharedPtr & node,
    const std::string & topic)
  {
    return node->create_publisher<Header>(topic, 1)->get_topic_name();
  }
};

}  // namespace

TEST_F(NodeTest, NamesAndNamespaces)
{
  auto root = make_node("plain");
  EXPECT_STREQ(root->get_name(), "plain");
  EXPECT_STREQ(root->get_namespace(), "/");
  EXPECT_STREQ(root->get_fully_qualified_name(), "/plain");

  auto relative = make_node("inner", "robot/sensors");
  EXPECT_STREQ(relative->get_namespace(), "/robot/sensors");
  EXPECT_STREQ(relative->get_fully_qualified_name(), "/robot/sensors/inner");
}

TEST_F(NodeTest, InvalidNamesAreRejectedWithTheOffendingPosition)
{
  try {
    make_node("bad-name");
    ADD_FAILURE() << "no exception";
  } catch (const rclcpp::exceptions::InvalidNodeNameError & error) {
    EXPECT_EQ(error.invalid_index, 3u);
    EXPECT_EQ(
      error.error_msg, "node name must not contain characters other than alphanumerics or '_'");
  }
  EXPECT_THROW(make_node(""), rclcpp::exceptions::InvalidNodeNameError);
  EXPECT_THROW(make_node("9lives"), rclcpp::exceptions::InvalidNodeNameError);
  EXPECT_THROW(make_node(std::string(256, 'n')), rclcpp::exceptions::InvalidNodeNameError);

  EXPECT_THROW(make_node("n", "/trailing/"), rclcpp::exceptions::InvalidNamespaceError);
  EXPECT_THROW(make_node("n", "/a//b"), rclcpp::exceptions::InvalidNamespaceError);
  EXPECT_THROW(make_node("n", "/1a"), rclcpp::exceptions::InvalidNamespaceError);
  EXPECT_THROW(make_node("n", "/a b"), rclcpp::exceptions::InvalidNamespaceError);
}

TEST_F(NodeTest, NodeArgumentsRemapNameAndNamespace)
{
  auto node = make_node(
    "original", "/ns", {"--ros-args", "-r", "__node:=renamed", "-r",
      "__ns:=/moved"});
  EXPECT_STREQ(node->get_name(), "renamed");
  EXPECT_STREQ(node->get_namespace(), "/moved");
  EXPECT_STREQ(node->get_fully_qualified_name(), "/moved/renamed");
  EXPECT_EQ(published_topic(node, "out"), "/moved/out");

  // A rule aimed at another node leaves this one alone.
  auto other = make_node("original", "", {"--ros-args", "-r", "someone_else:__node:=renamed"});
  EXPECT_STREQ(other->get_name(), "original");

  // An invalid replacement is already refused while the arguments are parsed.
  EXPECT_THROW(
    make_node("original", "", {"--ros-args", "-r", "__node:=bad-name"}),
    rclcpp::exceptions::RCLInvalidROSArgsError);
}

TEST_F(NodeTest, GlobalArgumentsApplyUnlessTheNodeOptsOut)
{
  auto context = std::make_shared<rclcpp::Context>();
  const char * argv[] = {"prog", "--ros-args", "-r", "__node:=global_name", "-r", "chatter:=talk"};
  context->init(6, argv);

  auto uses_global = std::make_shared<rclcpp::Node>("local", test_support::options_for(context));
  EXPECT_STREQ(uses_global->get_name(), "global_name");
  EXPECT_EQ(published_topic(uses_global, "chatter"), "/talk");

  // The node's own arguments win over the process's.
  auto own_rules = std::make_shared<rclcpp::Node>(
    "local", test_support::options_for(context).arguments(
      {"--ros-args", "-r", "__node:=own_name", "-r", "chatter:=own_talk"}));
  EXPECT_STREQ(own_rules->get_name(), "own_name");
  EXPECT_EQ(published_topic(own_rules, "chatter"), "/own_talk");

  auto ignores_global = std::make_shared<rclcpp::Node>(
    "local", test_support::options_for(context).use_global_arguments(false));
  EXPECT_STREQ(ignores_global->get_name(), "local");
  EXPECT_EQ(published_topic(ignores_global, "chatter"), "/chatter");
  context->shutdown("test done");
}

TEST_F(NodeTest, TopicNamesExpandInsideTheNamespace)
{
  auto node = make_node("costmap", "/robot");
  EXPECT_EQ(published_topic(node, "scan"), "/robot/scan");
  EXPECT_EQ(published_topic(node, "a/b"), "/robot/a/b");
  EXPECT_EQ(published_topic(node, "/absolute"), "/absolute");
  EXPECT_EQ(published_topic(node, "~"), "/robot/costmap");
  EXPECT_EQ(published_topic(node, "~/private"), "/robot/costmap/private");
  EXPECT_EQ(published_topic(node, "{node}/sub"), "/robot/costmap/sub");

  auto root = make_node("talker");
  EXPECT_EQ(published_topic(root, "chatter"), "/chatter");
  EXPECT_EQ(published_topic(root, "~/x"), "/talker/x");

  EXPECT_EQ(rclcpp::expand_topic_or_service_name("scan", "n", "/"), "/scan");
}

TEST_F(NodeTest, InvalidTopicNamesAreRejected)
{
  auto node = make_node("checker", "/ns");
  for (const std::string bad : {"", "trailing/", "a//b", "1st", "a/2nd", "sp ace", "a~b", "~xy",
      "{unclosed", "closed}"})
  {
    EXPECT_THROW(node->create_publisher<Header>(bad, 1), rclcpp::exceptions::InvalidTopicNameError)
      << "'" << bad << "'";
    EXPECT_THROW(
      node->create_subscription<Header>(bad, 1, [](const Header &) {}),
      rclcpp::exceptions::InvalidTopicNameError) << "'" << bad << "'";
  }
  // rcl lets a tilde with one character after it through, as Humble does.
  EXPECT_EQ(published_topic(node, "~x"), "/ns/checkerx");
  EXPECT_EQ(
    test_support::what_of<std::runtime_error>(
      [&]() {
        node->create_publisher<Header>("{unknown}", 1);
      }),
    "topic name unexpectedly valid");
  try {
    node->create_publisher<Header>("a//b", 1);
    ADD_FAILURE() << "no exception";
  } catch (const rclcpp::exceptions::InvalidTopicNameError & error) {
    EXPECT_EQ(error.error_msg, "topic name must not contain repeated '/'");
    EXPECT_EQ(error.name, "/ns/a//b");
    EXPECT_EQ(error.invalid_index, 6u);
  }
}

TEST_F(NodeTest, TopicRemapRulesResolveRelativeNames)
{
  auto node = make_node(
    "mapper", "/robot",
    {"--ros-args", "-r", "scan:=filtered_scan", "-r", "/absolute:=/elsewhere",
      "-r", "mapper:status:=/diagnostics", "-r", "other_node:odom:=/nope",
      "-r", "~/private:=shared", "-r", "scan:=never_reached"});
  // The first matching rule wins; both sides expand like topic names.
  EXPECT_EQ(published_topic(node, "scan"), "/robot/filtered_scan");
  EXPECT_EQ(published_topic(node, "~/private"), "/robot/shared");
  EXPECT_EQ(published_topic(node, "/robot/scan"), "/robot/filtered_scan");
  EXPECT_EQ(published_topic(node, "/absolute"), "/elsewhere");
  EXPECT_EQ(published_topic(node, "status"), "/diagnostics");
  EXPECT_EQ(published_topic(node, "odom"), "/robot/odom");

  // Publisher and subscription meet on the remapped name.
  int received = 0;
  auto subscription = node->create_subscription<Header>(
    "/robot/filtered_scan", 1, [&](const Header &) {++received;});
  auto publisher = node->create_publisher<Header>("scan", 1);
  EXPECT_EQ(publisher->get_subscription_count(), 1u);
}

TEST_F(NodeTest, CallbackGroupsBelongToTheirNode)
{
  auto node = make_node("groups");
  auto other = make_node("other");
  auto foreign_group = other->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  rclcpp::SubscriptionOptions options;
  options.callback_group = foreign_group;
  EXPECT_EQ(
    test_support::what_of<std::runtime_error>(
      [&]() {node->create_subscription<Header>("x", 1, [](const Header &) {}, options);}),
    "Cannot create subscription, callback group not in node.");
  rclcpp::PublisherOptions publisher_options;
  publisher_options.callback_group = foreign_group;
  EXPECT_EQ(
    test_support::what_of<std::runtime_error>(
      [&]() {node->create_publisher<Header>("x", 1, publisher_options);}),
    "Cannot create publisher, callback group not in node.");
  EXPECT_EQ(
    test_support::what_of<std::runtime_error>(
      [&]() {node->create_wall_timer(std::chrono::seconds(1), []() {}, foreign_group);}),
    "Cannot create timer, group not in node.");
  EXPECT_EQ(
    test_support::what_of<std::invalid_argument>(
      [&]() {node->create_wall_timer(std::chrono::seconds(-1), []() {});}),
    "timer period cannot be negative");

  auto group = node->create_callback_group(rclcpp::CallbackGroupType::Reentrant, false);
  EXPECT_EQ(group->type(), rclcpp::CallbackGroupType::Reentrant);
  EXPECT_FALSE(group->automatically_add_to_executor_with_node());

  // The node holds its groups weakly, as Humble does.
  int groups = 0;
  node->for_each_callback_group([&](rclcpp::CallbackGroup::SharedPtr) {++groups;});
  EXPECT_EQ(groups, 2);
  group.reset();
  groups = 0;
  node->for_each_callback_group([&](rclcpp::CallbackGroup::SharedPtr) {++groups;});
  EXPECT_EQ(groups, 1);
}

TEST_F(NodeTest, ParametersReachTheNodesParameterStore)
{
  auto options = test_support::options_for(context_);
  options.append_parameter_override("range.max", 4.5);
  auto node = std::make_shared<rclcpp::Node>("params", options);
  EXPECT_DOUBLE_EQ(node->declare_parameter("range.max", 1.0), 4.5);
  EXPECT_EQ(node->declare_parameter("count", 3), 3);
  int64_t count = 0;
  EXPECT_TRUE(node->get_parameter("count", count));
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(node->has_parameter("use_sim_time"));
  EXPECT_THROW(
    node->declare_parameter("count", 4), rclcpp::exceptions::ParameterAlreadyDeclaredException);
}

// Descriptors as Humble applies them (this file is built against Humble too): a wrong type, a
// read-only parameter and a value out of range are refused with Humble's reasons. A range takes
// its ends within a relative tolerance, which lets an infinity through, and one whose step is 0
// lets NaN through: a node has to refuse those itself.
TEST_F(NodeTest, DescriptorsRefuseWrongTypesReadOnlySetsAndValuesOutOfRange)
{
  auto node = std::make_shared<rclcpp::Node>(
    "descriptors", test_support::options_for(context_).append_parameter_override("level", 99));
  node->declare_parameter("debug", false);
  auto set_result = node->set_parameter(rclcpp::Parameter("debug", "on"));
  EXPECT_FALSE(set_result.successful);
  EXPECT_EQ(
    set_result.reason,
    "Wrong parameter type, parameter {debug} is of type {bool}, setting it to {string} is not "
    "allowed.");
  EXPECT_FALSE(node->get_parameter("debug").as_bool());

  rcl_interfaces::msg::ParameterDescriptor read_only;
  read_only.read_only = true;
  node->declare_parameter("frame", std::string("base"), read_only);
  set_result = node->set_parameter(rclcpp::Parameter("frame", "odom"));
  EXPECT_FALSE(set_result.successful);
  EXPECT_EQ(set_result.reason, "parameter 'frame' cannot be set because it is read-only");
  EXPECT_EQ(node->get_parameter("frame").as_string(), "base");
  EXPECT_TRUE(node->describe_parameter("frame").read_only);

  rcl_interfaces::msg::ParameterDescriptor int_range;
  int_range.integer_range.resize(1);
  int_range.integer_range[0].from_value = 0;
  int_range.integer_range[0].to_value = 10;
  int_range.integer_range[0].step = 5;
  node->declare_parameter("count", 5, int_range);
  EXPECT_TRUE(node->set_parameter(rclcpp::Parameter("count", 10)).successful);
  EXPECT_FALSE(node->set_parameter(rclcpp::Parameter("count", 11)).successful);
  set_result = node->set_parameter(rclcpp::Parameter("count", 7));
  EXPECT_FALSE(set_result.successful);
  EXPECT_EQ(set_result.reason, "Parameter {count} doesn't comply with integer range.");
  EXPECT_EQ(node->get_parameter("count").as_int(), 10);
  // An override out of range makes the declaration fail.
  EXPECT_THROW(
    node->declare_parameter("level", 5, int_range),
    rclcpp::exceptions::InvalidParameterValueException);

  rcl_interfaces::msg::ParameterDescriptor double_range;
  double_range.floating_point_range.resize(1);
  double_range.floating_point_range[0].from_value = 0.0;
  double_range.floating_point_range[0].to_value = 1.0;
  double_range.floating_point_range[0].step = 0.1;
  node->declare_parameter("ratio", 0.5, double_range);
  EXPECT_TRUE(node->set_parameter(rclcpp::Parameter("ratio", 0.3)).successful);  // 3 * 0.1, rounded
  EXPECT_FALSE(node->set_parameter(rclcpp::Parameter("ratio", 0.35)).successful);
  EXPECT_FALSE(node->set_parameter(rclcpp::Parameter("ratio", std::nan(""))).successful);
  double_range.floating_point_range[0].step = 0.0;
  node->declare_parameter("gain", 0.5, double_range);
  const double infinity = std::numeric_limits<double>::infinity();
  for (double accepted : {0.0, 0.25, 1.0 + 1e-15, std::nan(""), infinity, -infinity}) {
    EXPECT_TRUE(node->set_parameter(rclcpp::Parameter("gain", accepted)).successful) << accepted;
  }
  for (double refused : {-1e-300, 1.001}) {
    set_result = node->set_parameter(rclcpp::Parameter("gain", refused));
    EXPECT_EQ(set_result.reason, "Parameter {gain} doesn't comply with floating point range.");
  }
}
