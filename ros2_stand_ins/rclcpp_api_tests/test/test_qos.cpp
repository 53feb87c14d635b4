// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/executors.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/qos.hpp"
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

  rclcpp::QoS fluent{rclcpp::KeepAll()};
  fluent.best_effort().transient_local().keep_last(3);
  EXPECT_EQ(fluent, rclcpp::QoS(3).best_effort().transient_local());
  EXPECT_NE(fluent, rclcpp::QoS(3));
}

class QoSDelivery : public test_support::NodeWithExecutorTest
{
protected:
  rclcpp::Subscription<Header>::SharedPtr subscribe(const std::string & topic, const rclcpp::QoS & qos)
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
