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

#include <algorithm>
#include <chrono>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/exceptions.hpp"
#include "rclcpp/executors.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/qos_overriding_options.hpp"
#include "std_msgs/msg/header.hpp"
#include "runtime_test_support.hpp"

using std_msgs::msg::Header;

TEST(QoSProfile, ProfilesHaveHumblesPolicies)
{
  const rclcpp::QoS plain(7);
  EXPECT_EQ(plain.history(), rclcpp::HistoryPolicy::KeepLast);
  EXPECT_EQ(plain.depth(), 7u);
  EXPECT_EQ(plain.reliability(), rclcpp::ReliabilityPolicy::Reliable);
  EXPECT_EQ(plain.durability(), rclcpp::DurabilityPolicy::Volatile);

  const rclcpp::SensorDataQoS sensor;
  EXPECT_EQ(sensor.depth(), 5u);
  EXPECT_EQ(sensor.reliability(), rclcpp::ReliabilityPolicy::BestEffort);

  const rclcpp::ClockQoS clock;
  EXPECT_EQ(clock.depth(), 1u);
  EXPECT_EQ(clock.reliability(), rclcpp::ReliabilityPolicy::BestEffort);

  EXPECT_EQ(rclcpp::ParametersQoS().depth(), 1000u);
  EXPECT_EQ(rclcpp::ServicesQoS().depth(), 10u);
  EXPECT_EQ(rclcpp::SystemDefaultsQoS().history(), rclcpp::HistoryPolicy::KeepLast);
  EXPECT_EQ(rclcpp::SystemDefaultsQoS().depth(), 0u);
  EXPECT_EQ(rclcpp::SystemDefaultsQoS().reliability(), rclcpp::ReliabilityPolicy::SystemDefault);

  // Durations of 0 leave deadline, lifespan and lease to the middleware.
  EXPECT_EQ(plain.deadline(), rclcpp::Duration(0, 0));
  EXPECT_EQ(plain.lifespan(), rclcpp::Duration(0, 0));
  EXPECT_EQ(plain.liveliness(), rclcpp::LivelinessPolicy::SystemDefault);
  EXPECT_EQ(plain.liveliness_lease_duration(), rclcpp::Duration(0, 0));
  EXPECT_FALSE(plain.avoid_ros_namespace_conventions());

  rclcpp::QoS fluent{rclcpp::KeepAll()};
  fluent.best_effort().transient_local().keep_last(3).deadline(std::chrono::milliseconds(100));
  EXPECT_EQ(
    fluent,
    rclcpp::QoS(3).best_effort().transient_local().deadline(rclcpp::Duration(0, 100000000)));
  EXPECT_NE(fluent, rclcpp::QoS(3).best_effort().transient_local());
  EXPECT_THROW(fluent.lifespan(rclcpp::Duration::from_nanoseconds(-1)), std::runtime_error);
}

class QoSDelivery : public test_support::NodeWithExecutorTest
{
protected:
  rclcpp::Subscription<Header>::SharedPtr subscribe(
    const std::string & topic,
    const rclcpp::QoS & qos)
  {
    return node_->create_subscription<Header>(
      topic, qos, [this](const Header & msg) {received_.push_back(msg.frame_id);});
  }

  std::vector<std::string> received_;
};

TEST_F(QoSDelivery, HistoryKeepsTheNewestDepthWaitingMessagesOrAll)
{
  // (subscription QoS, how many of the 100 messages published before a spin arrive)
  const std::vector<std::pair<rclcpp::QoS, size_t>> cases = {
    {rclcpp::QoS(1), 1}, {rclcpp::QoS(2), 2}, {rclcpp::QoS(rclcpp::KeepAll()), 100}};
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string topic = "history" + std::to_string(i);
    auto subscription = subscribe(topic, cases[i].first);
    auto publisher = node_->create_publisher<Header>(topic, 10);
    std::vector<std::string> newest;
    for (size_t m = 0; m < 100; ++m) {
      publisher->publish(test_support::header_with_frame(std::to_string(m)));
      if (m >= 100 - cases[i].second) {
        newest.push_back(std::to_string(m));
      }
    }
    executor_->spin_all(std::chrono::seconds(10));  // until no message waits
    EXPECT_EQ(received_, newest) << "keeping " << cases[i].second;
    received_.clear();
  }
}

TEST_F(QoSDelivery, ReliabilityDecidesWhoReceives)
{
  auto best_effort_subscription = subscribe("reliability", rclcpp::SensorDataQoS());
  auto reliable_subscription = subscribe("reliability", rclcpp::QoS(10));
  auto best_effort_publisher =
    node_->create_publisher<Header>("reliability", rclcpp::SensorDataQoS());
  auto reliable_publisher = node_->create_publisher<Header>("reliability", 10);

  EXPECT_EQ(best_effort_publisher->get_subscription_count(), 1u);
  EXPECT_EQ(reliable_publisher->get_subscription_count(), 2u);
  EXPECT_EQ(reliable_subscription->get_publisher_count(), 1u);
  EXPECT_EQ(best_effort_subscription->get_publisher_count(), 2u);

  best_effort_publisher->publish(test_support::header_with_frame("from_best_effort"));
  reliable_publisher->publish(test_support::header_with_frame("from_reliable"));
  executor_->spin_all(std::chrono::seconds(10));
  std::sort(received_.begin(), received_.end());
  EXPECT_EQ(
    received_, (std::vector<std::string>{"from_best_effort", "from_reliable", "from_reliable"}));
}

TEST_F(QoSDelivery, TransientLocalPublisherServesLateJoiners)
{
  auto latched = node_->create_publisher<Header>("latched", rclcpp::QoS(2).transient_local());
  auto volatile_publisher = node_->create_publisher<Header>("latched", 10);
  for (const char * frame : {"1", "2", "3"}) {
    latched->publish(test_support::header_with_frame(frame));
  }
  volatile_publisher->publish(test_support::header_with_frame("volatile"));

  // A volatile late joiner gets nothing old; a transient-local one gets the kept `depth`.
  auto late_volatile = subscribe("latched", rclcpp::QoS(10));
  executor_->spin_some();
  EXPECT_TRUE(received_.empty());

  auto late_transient = subscribe("latched", rclcpp::QoS(10).transient_local());
  EXPECT_EQ(late_transient->get_publisher_count(), 1u);
  executor_->spin_all(std::chrono::seconds(10));
  EXPECT_EQ(received_, (std::vector<std::string>{"2", "3"}));
}

// Without a callback of its own, each side of a pair whose QoS do not fit warns, naming the
// policy, when its executor serves the event; a start-up override of the policy mends it.
TEST_F(QoSDelivery, IncompatiblePeersAreWarnedAboutUntilAnOverrideMendsTheQoS)
{
  test_support::StderrLog log;
  auto reliable = subscribe("sensor", rclcpp::QoS(10));
  auto best_effort = node_->create_publisher<Header>("sensor", rclcpp::SensorDataQoS());
  auto latched = subscribe("map", rclcpp::QoS(1).transient_local());
  auto fleeting = node_->create_publisher<Header>("map", rclcpp::QoS(1));
  const std::string subscription_side =
    "[test_node]: New publisher discovered on topic '/sensor', offering incompatible QoS. No "
    "messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY";
  const std::string publisher_side =
    "[test_node]: New subscription discovered on topic '/sensor', requesting incompatible QoS. "
    "No messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY";
  const std::string durability =
    "[test_node]: New publisher discovered on topic '/map', offering incompatible QoS. No "
    "messages will be sent to it. Last incompatible policy: DURABILITY_QOS_POLICY";
  ASSERT_TRUE(
    test_support::spin_until(
      *executor_, [&]() {
        return !log.lines_with(subscription_side).empty() &&
        !log.lines_with(publisher_side).empty() && !log.lines_with(durability).empty();
      }));
  // rcutils' console format: severity, time in seconds with nanoseconds, the node's logger.
  const auto line = log.lines_with(subscription_side).front();
  EXPECT_TRUE(std::regex_match(line, std::regex(R"(\[WARN\] \[[0-9]+\.[0-9]{9}\] \[.*)"))) << line;

  auto tuned = std::make_shared<rclcpp::Node>(
    "tuned", test_support::options_for(context_).arguments(
      {"--ros-args", "-p", "qos_overrides./sensor.subscription.reliability:=best_effort"}));
  executor_->add_node(tuned);
  rclcpp::SubscriptionOptions options;
  options.qos_overriding_options = rclcpp::QosOverridingOptions::with_default_policies();
  std::vector<std::string> tuned_received;
  auto overridden = tuned->create_subscription<Header>(
    "sensor", rclcpp::QoS(10), [&](const Header & msg) {tuned_received.push_back(msg.frame_id);},
    options);
  best_effort->publish(test_support::header_with_frame("reading"));
  ASSERT_TRUE(test_support::spin_until(*executor_, [&]() {return !tuned_received.empty();}));
  EXPECT_EQ(tuned_received, std::vector<std::string>{"reading"});
  EXPECT_TRUE(received_.empty());
  EXPECT_TRUE(log.lines_with("[tuned]").empty());
}

class QoSOverriding : public test_support::ContextTest
{
protected:
  rclcpp::Node::SharedPtr make_node(const std::vector<rclcpp::Parameter> & overrides)
  {
    return std::make_shared<rclcpp::Node>(
      "qos_node", test_support::options_for(context_).parameter_overrides(overrides));
  }

  static rclcpp::SubscriptionOptions overriding(rclcpp::QosOverridingOptions qos_options)
  {
    rclcpp::SubscriptionOptions options;
    options.qos_overriding_options = std::move(qos_options);
    return options;
  }

  static void ignore(const Header &) {}
};

// Humble's parameters: one per policy asked for, read only, described, defaulting to the QoS
// given; values from start-up win.
TEST_F(QoSOverriding, EntitiesDeclareReadOnlyParametersWhoseStartUpValuesWin)
{
  const std::string prefix = "qos_overrides./scan.";
  auto node = make_node(
    {{prefix + "subscription.reliability", "best_effort"}, {prefix + "publisher_fast.depth", 3}});

  // Without overriding options, no parameter and no change.
  auto plain = node->create_subscription<Header>("scan", 10, ignore);
  EXPECT_FALSE(node->has_parameter(prefix + "subscription.reliability"));
  EXPECT_EQ(plain->get_actual_qos().reliability(), rclcpp::ReliabilityPolicy::Reliable);

  auto subscription = node->create_subscription<Header>(
    "scan", rclcpp::QoS(7), ignore,
    overriding(rclcpp::QosOverridingOptions::with_default_policies()));
  EXPECT_EQ(subscription->get_actual_qos().reliability(), rclcpp::ReliabilityPolicy::BestEffort);
  EXPECT_EQ(subscription->get_actual_qos().depth(), 7u);
  const auto history = node->describe_parameter(prefix + "subscription.history");
  EXPECT_TRUE(history.read_only);
  EXPECT_EQ(history.description, "qos policy {history} for subscription {/scan}");
  EXPECT_EQ(node->get_parameter(prefix + "subscription.history").as_string(), "keep_last");
  EXPECT_EQ(node->get_parameter(prefix + "subscription.depth").as_int(), 7);
  EXPECT_FALSE(node->has_parameter(prefix + "subscription.durability"));
  EXPECT_EQ(
    node->set_parameter(rclcpp::Parameter(prefix + "subscription.depth", 1)).reason,
    "parameter '" + prefix + "subscription.depth' cannot be set because it is read-only");

  // An id of its own; a subscription has no lifespan to override.
  rclcpp::PublisherOptions publisher_options;
  publisher_options.qos_overriding_options = {
    {rclcpp::QosPolicyKind::Depth, rclcpp::QosPolicyKind::Lifespan,
      rclcpp::QosPolicyKind::Durability}, nullptr, "fast"};
  auto publisher = node->create_publisher<Header>("scan", rclcpp::QoS(10), publisher_options);
  EXPECT_EQ(publisher->get_actual_qos().depth(), 3u);
  EXPECT_EQ(
    node->describe_parameter(prefix + "publisher_fast.lifespan").description,
    "qos policy {lifespan} for publisher {/scan} with id {fast}");
  EXPECT_EQ(node->get_parameter(prefix + "publisher_fast.lifespan").as_int(), 0);
  EXPECT_EQ(node->get_parameter(prefix + "publisher_fast.durability").as_string(), "volatile");
  auto no_lifespan = node->create_subscription<Header>(
    "scan", 10, ignore, overriding({{rclcpp::QosPolicyKind::Lifespan}, nullptr, "x"}));
  EXPECT_FALSE(node->has_parameter(prefix + "subscription_x.lifespan"));

  // Every node has them for its parameter events.
  EXPECT_EQ(
    node->get_parameter("qos_overrides./parameter_events.publisher.depth").as_int(), 1000);
  EXPECT_EQ(
    node->get_parameter("qos_overrides./parameter_events.publisher.reliability").as_string(),
    "reliable");
}

TEST_F(QoSOverriding, BadOverridesAndRefusedProfilesStopTheEntityAsInHumble)
{
  auto node = make_node(
    {{"qos_overrides./a.subscription.reliability", "sometimes"},
      {"qos_overrides./b.subscription.depth", "deep"},
      {"qos_overrides./c.subscription.depth", 50},
      {"qos_overrides./d.subscription.depth", -1}});
  const auto defaults = overriding(rclcpp::QosOverridingOptions::with_default_policies());
  EXPECT_EQ(
    test_support::what_of<std::invalid_argument>(
      [&]() {node->create_subscription<Header>("a", 10, ignore, defaults);}),
    "unknown QoS policy reliability value: sometimes");
  EXPECT_EQ(
    test_support::what_of<rclcpp::exceptions::InvalidParameterTypeException>(
      [&]() {node->create_subscription<Header>("b", 10, ignore, defaults);}),
    "parameter 'qos_overrides./b.subscription.depth' has invalid type: Wrong parameter type, "
    "parameter {qos_overrides./b.subscription.depth} is of type {integer}, setting it to "
    "{string} is not allowed.");
  // A negative depth wraps to one the middleware cannot keep. (rcl's clean-up in Humble then
  // reports "invalid allocator" as the reason; the stand-in says "unsupported history depth".)
  const std::string too_deep = test_support::what_of<rclcpp::exceptions::RCLError>(
    [&]() {node->create_subscription<Header>("d", 10, ignore, defaults);});
  EXPECT_EQ(too_deep.rfind("could not create subscription: ", 0), 0u) << too_deep;

  // The validation callback sees the profile after the overrides.
  auto shallow_only = overriding(
    rclcpp::QosOverridingOptions::with_default_policies(
      [](const rclcpp::QoS & qos) {
        rclcpp::QosCallbackResult result;
        result.successful = qos.depth() <= 100;
        result.reason = "deeper than 100";
        return result;
      }));
  EXPECT_NO_THROW(node->create_subscription<Header>("c", 500, ignore, shallow_only));
  EXPECT_EQ(
    test_support::what_of<rclcpp::exceptions::InvalidQosOverridesException>(
      [&]() {node->create_subscription<Header>("e", 500, ignore, shallow_only);}),
    "validation callback failed: deeper than 100");
}
