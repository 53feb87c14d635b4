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

// The process's transport seen from another DDS participant: what a ROS 2 Humble process on
// the same domain would see and send.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dds_peer.hpp"
#include "rclcpp/executors.hpp"
#include "rclcpp/node.hpp"
#include "runtime_test_support.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

namespace
{

using sensor_msgs::msg::LaserScan;
using std_msgs::msg::UInt16MultiArray;
using test_support::DdsPeer;

/// Messages a subscription callback received, readable from the test thread.
class Inbox
{
public:
  void add(const UInt16MultiArray & message)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(message);
  }

  std::vector<UInt16MultiArray> messages() const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }

private:
  mutable std::mutex mutex_;
  std::vector<UInt16MultiArray> messages_;
};

UInt16MultiArray readings(std::vector<uint16_t> values)
{
  UInt16MultiArray message;
  message.data = std::move(values);
  return message;
}

class DdsTransportTest : public test_support::DdsPeerTest
{
protected:
  void SetUp() override
  {
    DdsPeerTest::SetUp();
    rclcpp::ExecutorOptions options;
    options.context = context_;
    executor_ = std::make_unique<rclcpp::executors::SingleThreadedExecutor>(options);
  }

  rclcpp::Node::SharedPtr make_node(
    const std::string & name, const std::string & ns = "", std::vector<std::string> arguments = {})
  {
    auto node = std::make_shared<rclcpp::Node>(
      name, ns, test_support::options_for(context_).arguments(arguments));
    executor_->add_node(node);
    return node;
  }

  /// A topic name no other test in this process uses.
  static std::string unique_topic(const std::string & base)
  {
    static int counter = 0;
    return "/" + base + "_" + std::to_string(++counter);
  }
};

TEST_F(DdsTransportTest, PublishedMessagesReachAnotherParticipantWithHumblesNames)
{
  // Node namespace and a -r remap are resolved above the transport; the wire shows the result.
  auto node = make_node("talker", "/robot", {"--ros-args", "-r", "scan:=front_scan"});
  auto publisher = node->create_publisher<LaserScan>("scan", rclcpp::QoS(1));
  EXPECT_STREQ(publisher->get_topic_name(), "/robot/front_scan");

  const dds_entity_t reader = peer_->reader(peer_->topic<LaserScan>("/robot/front_scan"));
  // (Matching means the same type name: dds_wire's MessageTypeNames holds it to Humble's.)
  ASSERT_TRUE(DdsPeer::eventually([&]() {return publisher->get_subscription_count() == 1;}));

  LaserScan scan;
  scan.header.frame_id = "ultrasonic_01_link";
  scan.angle_min = -0.21825f;
  scan.ranges = {0.05f, 0.05f, 2.5f};
  publisher->publish(scan);
  LaserScan received;
  ASSERT_TRUE(DdsPeer::take(reader, received));
  EXPECT_EQ(received, scan);

  dds_delete(reader);
  EXPECT_TRUE(DdsPeer::eventually([&]() {return publisher->get_subscription_count() == 0;}));
}

TEST_F(DdsTransportTest, MalformedSamplesAreLoggedOnceAndDroppedAndTheNextIsServed)
{
  const std::string topic = unique_topic("bad_readings");
  auto node = make_node("listener");
  Inbox inbox;
  auto subscription = node->create_subscription<UInt16MultiArray>(
    topic, rclcpp::KeepAll(), [&inbox](const UInt16MultiArray & message) {inbox.add(message);});
  ddsi_sertype * sertype = nullptr;
  dds_wire::WireQos keep_all;
  keep_all.history = dds_wire::WireQos::History::KeepAll;
  const dds_entity_t writer = peer_->writer(
    peer_->topic<UInt16MultiArray>(
      topic,
      &sertype), keep_all);
  ASSERT_TRUE(DdsPeer::eventually([&]() {return subscription->get_publisher_count() == 1;}));

  const std::vector<std::vector<uint8_t>> bad_samples = {
    {0x00, 0x01, 0x00, 0x00, 0x00, 0x00},  // cut inside layout.dim's count
    // No dimensions, offset 0, then 0x40000000 readings in 2 bytes.
    {0x00, 0x01, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x40, 0x01, 0x00},
    // One dimension whose label claims more bytes than the sample has.
    {0x00, 0x01, 0x00, 0x00, 1, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 'x', 0},
    {0x00, 0x02, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // XCDR2: not ours
  };
  testing::internal::CaptureStderr();
  for (const auto & bytes : bad_samples) {
    DdsPeer::write_raw(writer, sertype, bytes);
  }
  const auto good = readings({7, 8, 9});
  ASSERT_EQ(dds_write(writer, &good), DDS_RETCODE_OK);

  // Served by spin_some rounds: the good sample must come through after all the bad ones.
  ASSERT_TRUE(
    DdsPeer::eventually(
      [&]() {
        executor_->spin_some();
        return inbox.messages().size() == 1;
      }));
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(inbox.messages()[0], good);

  std::vector<std::string> lines;
  for (size_t start = 0, end; start < log.size(); start = end + 1) {
    end = log.find('\n', start);
    end = end == std::string::npos ? log.size() : end;
    if (log.find("malformed", start) < end) {
      lines.push_back(log.substr(start, end - start));
    }
  }
  ASSERT_EQ(lines.size(), bad_samples.size()) << log;
  EXPECT_NE(lines[0].find("[ERROR]"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(topic + " (std_msgs/msg/UInt16MultiArray)"), std::string::npos);
  EXPECT_NE(lines[0].find("layout.dim"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("data"), std::string::npos) << lines[1];
  dds_delete(writer);
}

TEST_F(DdsTransportTest, SameProcessTrafficArrivesOnceAndCountsOnce)
{
  const std::string topic = unique_topic("local");
  auto node = make_node("local");
  Inbox inbox;
  auto subscription = node->create_subscription<UInt16MultiArray>(
    topic, rclcpp::QoS(10), [&inbox](const UInt16MultiArray & message) {inbox.add(message);});
  auto publisher = node->create_publisher<UInt16MultiArray>(topic, rclcpp::QoS(10));
  const dds_entity_t remote_reader = peer_->reader(peer_->topic<UInt16MultiArray>(topic));
  ASSERT_TRUE(DdsPeer::eventually([&]() {return publisher->get_subscription_count() == 2;}));
  EXPECT_EQ(subscription->get_publisher_count(), 1u);

  publisher->publish(readings({1, 2, 3}));
  // The remote copy proves the DDS sample exists; our own reader must have ignored it.
  UInt16MultiArray remote;
  ASSERT_TRUE(DdsPeer::take(remote_reader, remote));
  executor_->spin_some();
  executor_->spin_some();
  EXPECT_EQ(inbox.messages().size(), 1u);
  dds_delete(remote_reader);
}

TEST_F(DdsTransportTest, TransientLocalHistoryReachesALateRemoteReader)
{
  const std::string topic = unique_topic("latched");
  auto node = make_node("latcher");
  auto publisher =
    node->create_publisher<UInt16MultiArray>(topic, rclcpp::QoS(1).transient_local());
  publisher->publish(readings({1}));
  publisher->publish(readings({2}));

  dds_wire::WireQos latched;
  latched.depth = 1;
  latched.durability = dds_wire::WireQos::Durability::TransientLocal;
  const dds_entity_t reader = peer_->reader(peer_->topic<UInt16MultiArray>(topic), latched);
  UInt16MultiArray received;
  ASSERT_TRUE(DdsPeer::take(reader, received));
  EXPECT_EQ(received, readings({2}));
  dds_delete(reader);
}

// What Humble's processes see: a peer whose QoS does not fit is warned about, naming Cyclone's
// policy; a subscription overridden at start-up to best effort hears a best-effort writer.
TEST_F(DdsTransportTest, IncompatibleRemotePeersAreWarnedAboutAndAnOverrideMendsTheQoS)
{
  const std::string overridden_topic = unique_topic("best_effort_readings");
  const std::string reliable_topic = unique_topic("reliable_readings");
  const std::string volatile_topic = unique_topic("volatile_scans");
  test_support::StderrLog log;
  auto node = make_node(
    "listener", "",
    {"--ros-args", "-p",
      "qos_overrides." + overridden_topic + ".subscription.reliability:=best_effort"});
  rclcpp::SubscriptionOptions overriding;
  overriding.qos_overriding_options = rclcpp::QosOverridingOptions::with_default_policies();
  Inbox inbox;
  auto store = [&inbox](const UInt16MultiArray & message) {inbox.add(message);};
  auto overridden = node->create_subscription<UInt16MultiArray>(
    overridden_topic, rclcpp::QoS(10), store, overriding);
  auto reliable = node->create_subscription<UInt16MultiArray>(reliable_topic, 10, store);
  auto publisher = node->create_publisher<UInt16MultiArray>(volatile_topic, 10);

  dds_wire::WireQos best_effort;
  best_effort.reliability = dds_wire::WireQos::Reliability::BestEffort;
  const dds_entity_t writer =
    peer_->writer(peer_->topic<UInt16MultiArray>(overridden_topic), best_effort);
  const dds_entity_t unheard_writer =
    peer_->writer(peer_->topic<UInt16MultiArray>(reliable_topic), best_effort);
  dds_wire::WireQos latched;
  latched.durability = dds_wire::WireQos::Durability::TransientLocal;
  const dds_entity_t unserved_reader =
    peer_->reader(peer_->topic<UInt16MultiArray>(volatile_topic), latched);

  ASSERT_TRUE(DdsPeer::eventually([&]() {return overridden->get_publisher_count() == 1;}));
  const auto sample = readings({300, 400});
  ASSERT_EQ(dds_write(writer, &sample), DDS_RETCODE_OK);
  const std::string reliability_warning =
    "[listener]: New publisher discovered on topic '" + reliable_topic + "', offering "
    "incompatible QoS. No messages will be sent to it. Last incompatible policy: "
    "RELIABILITY_QOS_POLICY";
  const std::string durability_warning =
    "[listener]: New subscription discovered on topic '" + volatile_topic + "', requesting "
    "incompatible QoS. No messages will be sent to it. Last incompatible policy: "
    "DURABILITY_QOS_POLICY";
  ASSERT_TRUE(
    test_support::spin_until(
      *executor_, [&]() {
        return !inbox.messages().empty() && !log.lines_with(reliability_warning).empty() &&
        !log.lines_with(durability_warning).empty();
      }));
  EXPECT_EQ(inbox.messages(), std::vector<UInt16MultiArray>{sample});
  EXPECT_EQ(reliable->get_publisher_count(), 0u);
  EXPECT_EQ(log.lines_with(overridden_topic).size(), 0u);
  dds_delete(unserved_reader);
  dds_delete(unheard_writer);
  dds_delete(writer);
}

// Remote samples wake a spin() in the background, and its shutdown ends it all the same.
TEST_F(DdsTransportTest, ShutdownEndsSpinWhileRemoteSamplesKeepArriving)
{
  const std::string topic = unique_topic("stream");
  auto node = make_node("streamed");
  Inbox inbox;
  auto subscription = node->create_subscription<UInt16MultiArray>(
    topic, rclcpp::QoS(1), [&inbox](const UInt16MultiArray & message) {inbox.add(message);});
  const dds_entity_t writer = peer_->writer(peer_->topic<UInt16MultiArray>(topic));
  spin_in_background();

  std::atomic<bool> streaming{true};
  std::thread stream([&]() {
      const auto message = readings({100, 100, 100});
      while (streaming) {
        dds_write(writer, &message);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
  ASSERT_TRUE(DdsPeer::eventually([&]() {return inbox.messages().size() > 10;}));
  context_->shutdown("stop while streaming");
  spinner_.join();  // hangs here (and the test times out) if spin missed the shutdown
  streaming = false;
  stream.join();
  dds_delete(writer);
}

}  // namespace
