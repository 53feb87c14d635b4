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
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rclcpp/executors.hpp"
#include "rclcpp/node.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/header.hpp"
#include "runtime_test_support.hpp"

using std_msgs::msg::Header;

namespace
{

/// Member callbacks of every supported signature, bound with std::bind as Humble code does.
class Receiver
{
public:
  void on_shared(std::shared_ptr<Header> msg) {received.push_back("shared:" + msg->frame_id);}
  void on_const_shared(std::shared_ptr<const Header> msg)
  {
    received.push_back("const_shared:" + msg->frame_id);
  }
  void on_const_ref(const Header & msg) {received.push_back("const_ref:" + msg.frame_id);}
  void on_unique(std::unique_ptr<Header> msg) {received.push_back("unique:" + msg->frame_id);}

  std::vector<std::string> received;
};

using PubSubTest = test_support::NodeWithExecutorTest;

}  // namespace

TEST_F(PubSubTest, EveryCallbackSignatureReceivesThePublishedValue)
{
  std::vector<std::string> received;
  std::vector<rclcpp::SubscriptionBase::SharedPtr> subscriptions;
  auto subscribe = [&](auto callback) {
      subscriptions.push_back(node_->create_subscription<Header>("frames", 10, callback));
    };
  subscribe([&](std::shared_ptr<Header> msg) {received.push_back("l_shared:" + msg->frame_id);});
  subscribe(
    [&](std::shared_ptr<const Header> msg) {
      received.push_back("l_const_shared:" + msg->frame_id);
    });
  subscribe([&](const Header & msg) {received.push_back("l_const_ref:" + msg.frame_id);});
  subscribe([&](std::unique_ptr<Header> msg) {received.push_back("l_unique:" + msg->frame_id);});

  Receiver receiver;
  using std::placeholders::_1;
  subscribe(std::bind(&Receiver::on_shared, &receiver, _1));
  subscribe(std::bind(&Receiver::on_const_shared, &receiver, _1));
  subscribe(std::bind(&Receiver::on_const_ref, &receiver, _1));
  subscribe(std::bind(&Receiver::on_unique, &receiver, _1));

  auto publisher = node_->create_publisher<Header>("frames", 10);
  EXPECT_EQ(publisher->get_subscription_count(), 8u);
  EXPECT_EQ(subscriptions.front()->get_publisher_count(), 1u);

  publisher->publish(test_support::header_with_frame("a"));
  publisher->publish(std::make_unique<Header>(test_support::header_with_frame("b")));
  executor_->spin_all(std::chrono::seconds(10));

  std::sort(received.begin(), received.end());
  EXPECT_EQ(
    received, (std::vector<std::string>{
    "l_const_ref:a", "l_const_ref:b", "l_const_shared:a", "l_const_shared:b",
    "l_shared:a", "l_shared:b", "l_unique:a", "l_unique:b"}));
  std::sort(receiver.received.begin(), receiver.received.end());
  EXPECT_EQ(
    receiver.received, (std::vector<std::string>{
    "const_ref:a", "const_ref:b", "const_shared:a", "const_shared:b",
    "shared:a", "shared:b", "unique:a", "unique:b"}));
}

TEST_F(PubSubTest, MutableCallbacksGetTheirOwnCopy)
{
  // One subscription scribbles over its message; the other must still see what was sent.
  std::string seen_by_reader;
  auto writer = node_->create_subscription<Header>(
    "shared_frames", 10, [](std::shared_ptr<Header> msg) {msg->frame_id = "scribbled";});
  auto reader = node_->create_subscription<Header>(
    "shared_frames", 10, [&](std::shared_ptr<const Header> msg) {seen_by_reader = msg->frame_id;});
  auto publisher = node_->create_publisher<Header>("shared_frames", 10);
  publisher->publish(test_support::header_with_frame("original"));
  executor_->spin_some();
  EXPECT_EQ(seen_by_reader, "original");
}

TEST_F(PubSubTest, OnlySameTypeOnSameTopicMatches)
{
  int headers = 0;
  auto header_subscription = node_->create_subscription<Header>(
    "mixed", 10, [&](const Header &) {++headers;});
  auto other_topic = node_->create_subscription<Header>(
    "other", 10, [&](const Header &) {++headers;});
  auto scan_publisher = node_->create_publisher<sensor_msgs::msg::LaserScan>("mixed", 10);
  auto header_publisher = node_->create_publisher<Header>("mixed", 10);

  EXPECT_EQ(scan_publisher->get_subscription_count(), 0u);
  EXPECT_EQ(header_subscription->get_publisher_count(), 1u);
  scan_publisher->publish(sensor_msgs::msg::LaserScan());
  header_publisher->publish(test_support::header_with_frame("x"));
  executor_->spin_some();
  EXPECT_EQ(headers, 1);
  EXPECT_STREQ(scan_publisher->get_topic_name(), "/mixed");

  // A destroyed subscription no longer counts and no longer receives.
  header_subscription.reset();
  EXPECT_EQ(header_publisher->get_subscription_count(), 0u);
  header_publisher->publish(test_support::header_with_frame("y"));
  executor_->spin_some();
  EXPECT_EQ(headers, 1);
}

TEST_F(PubSubTest, PublishingANullMessageIsRefused)
{
  auto publisher = node_->create_publisher<Header>("frames", 10);
  EXPECT_THROW(publisher->publish(std::unique_ptr<Header>()), std::invalid_argument);
}
