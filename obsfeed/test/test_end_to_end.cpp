// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

// obsfeed_node as the robot runs it: a process of its own, reached only over DDS from this
// test process, on a domain id no other test run uses and on loopback only. Written against
// the plain rclcpp API, so it runs unchanged against ROS 2 Humble.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"
#include "support/child_process.hpp"
#include "support/message_log.hpp"

namespace
{

using namespace std::chrono_literals;
using sensor_msgs::msg::LaserScan;

using obsfeed_test::kDeadline;
constexpr int kSensors = 3;  // the node's default device_pose: three horizontal sensors

std::uint32_t bitsOf(float value)
{
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

/// A domain of our own for this process and the node it starts, loopback only.
std::map<std::string, std::string> isolatedNetwork()
{
  return {
    {"ROS_DOMAIN_ID", std::to_string(150 + getpid() % 80)},
    {"ROS_LOCALHOST_ONLY", "1"},
  };
}

using ScanLog = obsfeed_test::MessageLog<LaserScan>;

/// The robot's side of the node: its ultrasonic driver and base controller, and a costmap
/// listening to every scan topic.
class RobotPeer
{
public:
  RobotPeer()
  : node_(std::make_shared<rclcpp::Node>("obsfeed_end_to_end_peer"))
  {
    readings_ = node_->create_publisher<std_msgs::msg::UInt16MultiArray>(
      "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(1));
    bumper_ = node_->create_publisher<quorvex_protocol::msg::RobotInfoLevelZero>(
      "/robot_info_level_zero", rclcpp::QoS(1));
    for (int n = 1; n <= kSensors; ++n) {
      listen("ultrasonic_laser" + std::to_string(n));
    }
    listen("bumper_laser");
    executor_.add_node(node_);
    spinner_ = std::thread([this]() {
          executor_.spin();
          spun_ = true;
        });
  }

  ~RobotPeer()
  {
    // A cancel() that comes before spin() has started is lost, so repeat it until spin ends.
    while (!spun_) {
      executor_.cancel();
      std::this_thread::sleep_for(1ms);
    }
    spinner_.join();
  }

  /// Discovery is asynchronous: both directions must be matched with exactly one node before
  /// anything is sent, or the first messages could go to nobody, or only to the endpoints of
  /// a previous test's node that discovery has not yet forgotten.
  bool connected()
  {
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
      bool all = readings_->get_subscription_count() == 1 && bumper_->get_subscription_count() == 1;
      for (const auto & [topic, log] : logs_) {
        all = all && log->publisherCount() == 1;
      }
      if (all) {
        return answersOnEveryTopic();
      }
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  /// Our readers having matched the node's writers says nothing about whether those writers
  /// have matched our readers yet; until they have, the node's scans go to nobody. So warm up
  /// each direction until the node answers on every topic, then start the logs afresh.
  bool answersOnEveryTopic()
  {
    auto & bumper = *logs_.at("bumper_laser");
    if (!repeatUntil([this]() {sendBumper(true);}, {&bumper})) {
      return false;
    }
    bumper.restart();

    std::vector<ScanLog *> lasers;
    for (int n = 1; n <= kSensors; ++n) {
      lasers.push_back(logs_.at("ultrasonic_laser" + std::to_string(n)).get());
    }
    if (!repeatUntil([this]() {sendReadings(std::vector<std::uint16_t>(kSensors, 0));}, lasers)) {
      return false;
    }
    // A repeated warm-up reading may still be on its way; every scan of a test's own readings
    // is stamped after this instant, every warm-up scan before it.
    const std::int64_t now_ns = rclcpp::Clock(RCL_SYSTEM_TIME).now().nanoseconds();
    for (ScanLog * laser : lasers) {
      laser->restart(
        [now_ns](const LaserScan & scan) {return rclcpp::Time(scan.header.stamp).nanoseconds() >= now_ns;});
    }
    return true;
  }

  void sendReadings(std::vector<std::uint16_t> values)
  {
    std_msgs::msg::UInt16MultiArray message;
    message.data = std::move(values);
    readings_->publish(message);
  }

  void sendBumper(bool pressed)
  {
    quorvex_protocol::msg::RobotInfoLevelZero message;
    message.bumper_trig = pressed;
    bumper_->publish(message);
  }

  ScanLog & scans(const std::string & topic) {return *logs_.at(topic);}

private:
  /// Sends with `send` every half second until every log in `logs` holds a scan.
  static bool repeatUntil(const std::function<void()> & send, const std::vector<ScanLog *> & logs)
  {
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
      send();
      bool all = true;
      for (ScanLog * log : logs) {
        all = all && log->waitForCount(1, 500ms);
      }
      if (all) {
        return true;
      }
    }
    return false;
  }

  void listen(const std::string & topic)
  {
    logs_[topic] = std::make_shared<ScanLog>(*node_, topic);
  }

  rclcpp::Node::SharedPtr node_;
  rclcpp::Publisher<std_msgs::msg::UInt16MultiArray>::SharedPtr readings_;
  rclcpp::Publisher<quorvex_protocol::msg::RobotInfoLevelZero>::SharedPtr bumper_;
  std::map<std::string, std::shared_ptr<ScanLog>> logs_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::atomic<bool> spun_{false};
  std::thread spinner_;
};

class EndToEnd : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    for (const auto & [name, value] : isolatedNetwork()) {
      setenv(name.c_str(), value.c_str(), 1);
    }
    rclcpp::init(0, nullptr);
  }

  static void TearDownTestSuite() {rclcpp::shutdown();}

  void SetUp() override
  {
    node_ = std::make_unique<obsfeed_test::ChildProcess>(
      OBSFEED_NODE_PATH, std::vector<std::string>{}, isolatedNetwork());
    peer_ = std::make_unique<RobotPeer>();
    ASSERT_TRUE(peer_->connected()) << "obsfeed_node never appeared on the domain";
  }

  void TearDown() override
  {
    peer_.reset();
    if (node_) {
      // Stopped cleanly, the node tells the domain its endpoints are gone; killed, it would
      // linger in discovery until its lease ran out.
      stopNode(SIGINT);
    }
  }

  /// Stops the node with `signal_number`; its wait status. Its output stays in node_output_.
  int stopNode(int signal_number)
  {
    node_->sendSignal(signal_number);
    const int status = node_->waitForExit();
    node_output_ = node_->output();
    node_.reset();
    return status;
  }

  std::unique_ptr<obsfeed_test::ChildProcess> node_;
  std::string node_output_;
  std::unique_ptr<RobotPeer> peer_;
};

// The scan of a horizontal sensor with the default geometry as the costmap gets it (every field
// of every configuration, bit for bit: test_scan_arithmetic).
void expectHorizontalFan(const LaserScan & scan, int sensor, std::uint32_t range_bits)
{
  EXPECT_EQ(scan.header.frame_id, "ultrasonic_0" + std::to_string(sensor) + "_link");
  EXPECT_EQ(bitsOf(scan.angle_max), 0x3E5F7CEEu);
  ASSERT_EQ(scan.ranges.size(), 100u);
  for (float range : scan.ranges) {
    ASSERT_EQ(bitsOf(range), range_bits) << range;
  }
}

TEST_F(EndToEnd, ReadingsInGiveTheExactScansOutOnEveryLaserTopic)
{
  peer_->sendReadings({100, 0xFFFF, 200});
  for (int n = 1; n <= kSensors; ++n) {
    ASSERT_TRUE(peer_->scans("ultrasonic_laser" + std::to_string(n)).waitForCount(1)) << n;
  }
  expectHorizontalFan(peer_->scans("ultrasonic_laser1").last(), 1, 0x3D4CDEBDu);  // 0.05 m
  expectHorizontalFan(peer_->scans("ultrasonic_laser2").last(), 2, 0x40200E04u);  // far
  expectHorizontalFan(peer_->scans("ultrasonic_laser3").last(), 3, 0x3DCCDEBDu);  // 0.10 m
}

TEST_F(EndToEnd, EachPressedBumperGivesOneBumperScan)
{
  auto & bumper = peer_->scans("bumper_laser");
  peer_->sendBumper(true);
  ASSERT_TRUE(bumper.waitForCount(1));
  // A released bumper sends nothing: the next pressed one is the second scan.
  peer_->sendBumper(false);
  peer_->sendBumper(true);
  ASSERT_TRUE(bumper.waitForCount(2));
  EXPECT_EQ(bumper.count(), 2u);

  const LaserScan scan = bumper.last();
  EXPECT_EQ(scan.header.frame_id, "base_footprint");
  ASSERT_EQ(scan.ranges.size(), 144u);
  for (float range : scan.ranges) {
    EXPECT_GE(range, 0.52f);
    EXPECT_LE(range, 0.63f);
  }
  EXPECT_EQ(peer_->scans("ultrasonic_laser1").count(), 0u);
}

TEST_F(EndToEnd, WrongLengthArraysInterleavedWithGoodOnesAreEachDroppedAlone)
{
  auto & laser1 = peer_->scans("ultrasonic_laser1");
  const std::vector<std::vector<std::uint16_t>> wrong = {{}, {100}, {100, 100}, {1, 2, 3, 4},
    std::vector<std::uint16_t>(1000, 100)};
  for (std::size_t i = 0; i < wrong.size(); ++i) {
    SCOPED_TRACE(wrong[i].size());
    peer_->sendReadings(wrong[i]);
    ASSERT_TRUE(node_->waitForOutput("[ERROR] input data not match\n", i + 1));
    const auto good = static_cast<std::uint16_t>(200);
    peer_->sendReadings({good, good, good});
    ASSERT_TRUE(laser1.waitForCount(i + 1));
    expectHorizontalFan(laser1.last(), 1, 0x3DCCDEBDu);
  }
  EXPECT_EQ(laser1.count(), wrong.size());  // nothing came of the wrong arrays
}

/// Presses the bumper @p presses times, each once the arc of the previous one has arrived.
void pressBumperOneByOne(RobotPeer & peer, std::size_t presses)
{
  auto & bumper = peer.scans("bumper_laser");
  const std::size_t before = bumper.count();
  for (std::size_t i = 1; i <= presses; ++i) {
    peer.sendBumper(true);
    ASSERT_TRUE(bumper.waitForCount(before + i)) << "press " << i << " got no arc";
  }
}

// Every press writes two lines: without a reader the node must go on serving, not die of
// SIGPIPE (closed pipe) nor block in its bumper callback (a full pipe nobody drains).
TEST_F(EndToEnd, KeepsServingWhenTheLogReaderHasGone)
{
  node_->closeOutput();
  pressBumperOneByOne(*peer_, 50);
  peer_->sendReadings({100, 150, 200});
  ASSERT_TRUE(peer_->scans("ultrasonic_laser3").waitForCount(1));
  const int status = stopNode(SIGINT);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
}

TEST_F(EndToEnd, KeepsServingWhenNobodyDrainsTheLogAndDropsOnlyWholeLines)
{
  ASSERT_TRUE(node_->setOutputCapacity(4096));
  constexpr std::size_t kPresses = 300;  // about seven times what the pipe holds
  pressBumperOneByOne(*peer_, kPresses);
  const int status = stopNode(SIGINT);  // reads what the pipe held
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;

  const std::regex whole_line(
    R"(environment variable .*|  1 \[INFO\] log_level: 2|)"
    R"([ 0-9]{3} \[WARN\] bumperCallback (msg->bumper_trig=1|use time: [0-9]+\.[0-9]{4} ms))");
  std::size_t bumper_lines = 0;
  std::istringstream output(node_output_);
  for (std::string line; std::getline(output, line); ) {
    EXPECT_TRUE(std::regex_match(line, whole_line)) << "torn or unexpected line: " << line;
    bumper_lines += line.find("bumperCallback") != std::string::npos;
  }
  EXPECT_LT(bumper_lines, kPresses) << "the pipe never filled, so nothing was tried";
}

TEST_F(EndToEnd, ServesAPeerThatJoinsAfterAnotherWasKilledMidStream)
{
  {
    obsfeed_test::ChildProcess streaming_peer(
      OBSFEED_PROBE_PATH, {"--timeout", "30", "--repeat", "60000", "100", "150", "200"},
      isolatedNetwork());
    // Its answers reach us too: it is in the middle of its stream.
    ASSERT_TRUE(peer_->scans("ultrasonic_laser2").waitForCount(200));
    streaming_peer.sendSignal(SIGKILL);
    const int status = streaming_peer.waitForExit();
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "wait status " << status;
  }
  int status = 0;
  const std::string answer = obsfeed_test::runToEnd(
    OBSFEED_PROBE_PATH, {"--timeout", "30", "100", "0xFFFF", "200"}, isolatedNetwork(), &status);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << answer;
  EXPECT_NE(answer.find("received 3 of 3 scans"), std::string::npos) << answer;

  status = stopNode(SIGINT);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  // Nothing but its level line: no error about the peer that vanished.
  EXPECT_EQ(node_output_.find("[ERROR]"), std::string::npos) << node_output_;
}

}  // namespace
