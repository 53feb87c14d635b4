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

// obsfeed_node as the robot runs it: a process of its own, reached only over DDS from this
// test process, on a domain id no other test run uses and on loopback only. Written against
// the plain rclcpp API, so it runs unchanged against ROS 2 Humble.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "obsfeed_child_process/child_process.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "support/eventually.hpp"
#include "support/message_log.hpp"
#include "support/robot_peer.hpp"

namespace
{

using namespace std::chrono_literals;
using obsfeed_test::bitsOf;
using obsfeed_test::isolatedNetwork;
using sensor_msgs::msg::LaserScan;
using ScanLog = obsfeed_test::MessageLog<LaserScan>;

constexpr int kSensors = 3;  // the node's default device_pose: three horizontal sensors

bool exitedWithZero(int status) {return WIFEXITED(status) && WEXITSTATUS(status) == 0;}

class EndToEnd : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    obsfeed_test::joinIsolatedNetwork();
    rclcpp::init(0, nullptr);
  }

  static void TearDownTestSuite() {rclcpp::shutdown();}

  /// The node, and the robot's side of it with a costmap listening to every scan topic.
  void SetUp() override
  {
    node_ = std::make_unique<obsfeed_child_process::ChildProcess>(
      OBSFEED_NODE_PATH, std::vector<std::string>{}, isolatedNetwork());
    peer_ = std::make_unique<obsfeed_test::RobotPeer>("obsfeed_end_to_end_peer");
    for (int n = 1; n <= kSensors; ++n) {
      lasers_.push_back(
        std::make_shared<ScanLog>(peer_->node(), "ultrasonic_laser" + std::to_string(n)));
    }
    bumper_ = std::make_shared<ScanLog>(peer_->node(), "bumper_laser");
    peer_->spin();
    ASSERT_TRUE(connected()) << "obsfeed_node never appeared on the domain";
  }

  /// Stopped cleanly, the node tells the domain its endpoints are gone; killed, it would linger
  /// in discovery until its lease ran out.
  void TearDown() override
  {
    peer_.reset();
    if (node_) {
      EXPECT_TRUE(exitedWithZero(stopNode()));
    }
  }

  /// Stops the node with SIGINT; its wait status. Its output stays in node_output_.
  int stopNode()
  {
    node_->sendSignal(SIGINT);
    const int status = node_->waitForExit();
    node_output_ = node_->output();
    node_.reset();
    return status;
  }

  ScanLog & laser(int n) {return *lasers_.at(n - 1);}

  /// Discovery is asynchronous: both directions must be matched with exactly one node before
  /// anything is sent, or the first messages could go to nobody, or only to the endpoints of
  /// a previous test's node that discovery has not yet forgotten.
  bool connected()
  {
    const auto matched = [this]() {
        bool all = peer_->heardByOneNode() && bumper_->publisherCount() == 1;
        for (const auto & log : lasers_) {
          all = all && log->publisherCount() == 1;
        }
        return all;
      };
    return obsfeed_test::eventually(matched) && answersOnEveryTopic();
  }

  /// Our readers having matched the node's writers says nothing about whether those writers
  /// have matched our readers yet; until they have, the node's scans go to nobody. So warm up
  /// each direction until the node answers on every topic, then start the logs afresh.
  bool answersOnEveryTopic()
  {
    if (!repeatUntil([this]() {peer_->sendBumper(true);}, {bumper_})) {
      return false;
    }
    bumper_->restart();
    if (!repeatUntil(
        [this]() {
          peer_->sendReadings(std::vector<std::uint16_t>(kSensors, 0));
        }, lasers_))
    {
      return false;
    }
    // A repeated warm-up reading may still be on its way; every scan of a test's own readings
    // is stamped after this instant, every warm-up scan before it.
    const std::int64_t now_ns = rclcpp::Clock(RCL_SYSTEM_TIME).now().nanoseconds();
    for (const auto & log : lasers_) {
      log->restart(
        [now_ns](const LaserScan & scan) {
          return rclcpp::Time(scan.header.stamp).nanoseconds() >= now_ns;
        });
    }
    return true;
  }

  /// Sends with `send` every half second until every log in `logs` holds a scan.
  static bool repeatUntil(
    const std::function<void()> & send, const std::vector<std::shared_ptr<ScanLog>> & logs)
  {
    return obsfeed_test::eventually(
      [&]() {
        send();
        bool all = true;
        for (const auto & log : logs) {
          all = all && log->waitForCount(1, 500ms);
        }
        return all;
      });
  }

  /// Presses the bumper @p presses times, each once the arc of the previous one has arrived.
  void pressBumperOneByOne(std::size_t presses)
  {
    const std::size_t before = bumper_->count();
    for (std::size_t i = 1; i <= presses; ++i) {
      peer_->sendBumper(true);
      ASSERT_TRUE(bumper_->waitForCount(before + i)) << "press " << i << " got no arc";
    }
  }

  std::unique_ptr<obsfeed_child_process::ChildProcess> node_;
  std::string node_output_;
  std::vector<std::shared_ptr<ScanLog>> lasers_;
  std::shared_ptr<ScanLog> bumper_;
  std::unique_ptr<obsfeed_test::RobotPeer> peer_;
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

TEST_F(EndToEnd, ReadingsAndPressesGiveTheExactScansOutOnEveryTopic)
{
  peer_->sendReadings({100, 0xFFFF, 200});
  // 0.05 m, far, 0.10 m
  const std::uint32_t range_bits[] = {0x3D4CDEBDu, 0x40200E04u, 0x3DCCDEBDu};
  for (int n = 1; n <= kSensors; ++n) {
    ASSERT_TRUE(laser(n).waitForCount(1)) << n;
    expectHorizontalFan(laser(n).last(), n, range_bits[n - 1]);
  }

  // (A released bumper sends nothing: test_bumper.)
  peer_->sendBumper(true);
  ASSERT_TRUE(bumper_->waitForCount(1));
  const LaserScan scan = bumper_->last();
  EXPECT_EQ(scan.header.frame_id, "base_footprint");
  ASSERT_EQ(scan.ranges.size(), 144u);
  for (float range : scan.ranges) {
    EXPECT_GE(range, 0.52f);
    EXPECT_LE(range, 0.63f);
  }
  EXPECT_EQ(laser(1).count(), 1u);
}

TEST_F(EndToEnd, WrongLengthArraysInterleavedWithGoodOnesAreEachDroppedAlone)
{
  const std::vector<std::vector<std::uint16_t>> wrong = {{}, {100}, {100, 100}, {1, 2, 3, 4},
    std::vector<std::uint16_t>(1000, 100)};
  for (std::size_t i = 0; i < wrong.size(); ++i) {
    SCOPED_TRACE(wrong[i].size());
    peer_->sendReadings(wrong[i]);
    ASSERT_TRUE(node_->waitForOutput("[ERROR] input data not match\n", i + 1));
    peer_->sendReadings({200, 200, 200});
    ASSERT_TRUE(laser(1).waitForCount(i + 1));
    expectHorizontalFan(laser(1).last(), 1, 0x3DCCDEBDu);
  }
  EXPECT_EQ(laser(1).count(), wrong.size());  // nothing came of the wrong arrays
}

// Every press writes two lines. With nobody draining the log, a line that does not fit is
// dropped whole instead of blocking the bumper callback; with the reader gone, the node goes on
// instead of dying of SIGPIPE; it still ends with status 0 (TearDown).
TEST_F(EndToEnd, KeepsServingWhenNobodyDrainsTheLogOrItsReaderHasGone)
{
  ASSERT_TRUE(node_->setOutputCapacity(4096));
  constexpr std::size_t kPresses = 300;  // about seven times what the pipe holds
  pressBumperOneByOne(kPresses);
  node_->readAvailable();
  const std::regex whole_line(
    R"(environment variable .*|  1 \[INFO\] log_level: 2|)"
    R"([ 0-9]{3} \[WARN\] bumperCallback (msg->bumper_trig=1|use time: [0-9]+\.[0-9]{4} ms))");
  std::size_t bumper_lines = 0;
  for (const std::string & line : node_->outputLines()) {
    EXPECT_TRUE(std::regex_match(line, whole_line)) << "torn or unexpected line: " << line;
    bumper_lines += line.find("bumperCallback") != std::string::npos;
  }
  EXPECT_LT(bumper_lines, kPresses) << "the pipe never filled, so nothing was tried";

  node_->closeOutput();
  pressBumperOneByOne(50);
  peer_->sendReadings({100, 150, 200});
  ASSERT_TRUE(laser(3).waitForCount(1));
}

TEST_F(EndToEnd, ServesAPeerThatJoinsAfterAnotherWasKilledMidStream)
{
  {
    obsfeed_child_process::ChildProcess streaming_peer(
      OBSFEED_PROBE_PATH, {"--timeout", "30", "--repeat", "60000", "100", "150", "200"},
      isolatedNetwork());
    // Its answers reach us too: it is in the middle of its stream.
    ASSERT_TRUE(laser(2).waitForCount(200));
    streaming_peer.sendSignal(SIGKILL);
    const int status = streaming_peer.waitForExit();
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "wait status " << status;
  }
  int status = 0;
  const std::string answer = obsfeed_child_process::runToEnd(
    OBSFEED_PROBE_PATH, {"--timeout", "30", "100", "0xFFFF", "200"}, isolatedNetwork(), &status);
  EXPECT_TRUE(exitedWithZero(status)) << answer;
  EXPECT_NE(answer.find("received 3 of 3 scans"), std::string::npos) << answer;
  EXPECT_TRUE(exitedWithZero(stopNode()));
  // Nothing but its level line: no error about the peer that vanished.
  EXPECT_EQ(node_output_.find("[ERROR]"), std::string::npos) << node_output_;
}

}  // namespace
