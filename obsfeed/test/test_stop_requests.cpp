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

// A supervisor may stop obsfeed_node at any moment: while it is still being built, or while it
// is busy with a stream of readings. Every stop must end the process, promptly and with status
// 0. A signal that lands while a thread holds the allocator lock is what once hung the node for
// good, so the moments are random and the runs many.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "obsfeed_child_process/child_process.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "support/eventually.hpp"
#include "support/robot_peer.hpp"

namespace
{

using namespace std::chrono_literals;
using obsfeed_child_process::ChildProcess;
using obsfeed_test::isolatedNetwork;

/// Stops @p node at a random moment up to @p longest from now with SIGINT or SIGTERM, sometimes
/// repeated at once, as a Ctrl-C pressed twice or a supervisor signalling every process of a
/// group sends it. Returns a line on what went wrong, or "" when the node ended with status 0.
std::string stopAtRandom(
  ChildProcess & node, std::mt19937 & generator,
  std::chrono::microseconds longest)
{
  const int signal_number = std::uniform_int_distribution<int>(0, 1)(generator) ? SIGINT : SIGTERM;
  const std::chrono::microseconds delay(
    std::uniform_int_distribution<std::int64_t>(0, longest.count())(generator));
  const int times =
    std::vector<int>{1, 1, 2, 20}[std::uniform_int_distribution<int>(0, 3)(generator)];
  std::this_thread::sleep_for(delay);
  for (int i = 0; i < times; ++i) {
    node.sendSignal(signal_number);
  }
  // A stop that has not ended the process by then is a hang: killed, it shows SIGKILL (9).
  const int status = node.waitForExit(10s);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    return "";
  }
  return std::string(signal_number == SIGINT ? "SIGINT" : "SIGTERM") + " after " +
         std::to_string(delay.count()) + " us, " + std::to_string(times) + " times: wait status " +
         std::to_string(status) + "\n";
}

/// The robot's side: readings as fast as the node takes them, a pressed bumper now and then,
/// and a count of the scans that come back.
class BusyRobot
{
public:
  BusyRobot()
  {
    scans_sub_ = peer_.node().create_subscription<sensor_msgs::msg::LaserScan>(
      "ultrasonic_laser1", rclcpp::QoS(10),
      [this](sensor_msgs::msg::LaserScan::ConstSharedPtr) {++scans_;});
    peer_.spin();
    streamer_ = std::thread(
      [this]() {
        for (std::uint64_t n = 0; streaming_; ++n) {
          peer_.sendReadings({100, 0xFFFF, 200});
          if (n % 20 == 0) {
            peer_.sendBumper(true);
          }
          std::this_thread::sleep_for(1ms);
        }
      });
  }

  ~BusyRobot()
  {
    streaming_ = false;
    streamer_.join();
  }

  std::uint64_t scans() const {return scans_;}

private:
  std::atomic<std::uint64_t> scans_{0};
  std::atomic<bool> streaming_{true};
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr scans_sub_;
  obsfeed_test::RobotPeer peer_{"obsfeed_stop_requests_peer"};
  std::thread streamer_;
};

class StopRequests : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    obsfeed_test::joinIsolatedNetwork();
    rclcpp::init(0, nullptr);
    robot_ = std::make_unique<BusyRobot>();
  }

  static void TearDownTestSuite()
  {
    robot_.reset();
    rclcpp::shutdown();
  }

  void SetUp() override
  {
    const unsigned seed = std::random_device()();
    generator_.seed(seed);
    RecordProperty("seed", std::to_string(seed));
    std::cout << "seed " << seed << std::endl;
  }

  static std::unique_ptr<BusyRobot> robot_;
  std::mt19937 generator_;
};

std::unique_ptr<BusyRobot> StopRequests::robot_;

TEST_F(StopRequests, DuringStartUpEndTheProcessWithStatusZero)
{
  // The first line is the logger's, written once ROS is initialised; from there the node is
  // built, its executor made and the spin begun within a few tens of milliseconds. Runs go
  // four at a time so that hundreds fit in well under a minute.
  constexpr int kSlots = 4;
  constexpr int kRunsPerSlot = 60;
  std::vector<std::string> failures(kSlots);
  std::vector<std::thread> slots;
  for (int slot = 0; slot < kSlots; ++slot) {
    slots.emplace_back(
      [&failures, slot, seed = generator_()]() {
        std::mt19937 generator(seed);
        for (int run = 0; run < kRunsPerSlot; ++run) {
          ChildProcess node(OBSFEED_NODE_PATH, {}, isolatedNetwork());
          failures[slot] +=
          node.waitForOutput("\n") ? stopAtRandom(node, generator, 40ms) : "no first line\n";
        }
      });
  }
  for (int slot = 0; slot < kSlots; ++slot) {
    slots[slot].join();
    EXPECT_EQ(failures[slot], "") << "slot " << slot;
  }
}

TEST_F(StopRequests, WhileServingABusyStreamEndTheProcessWithStatusZero)
{
  // One node at a time, so that scans arriving prove that this very node serves.
  std::string failures;
  for (int run = 0; run < 80; ++run) {
    const std::uint64_t scans_before = robot_->scans();
    ChildProcess node(OBSFEED_NODE_PATH, {}, isolatedNetwork());
    ASSERT_TRUE(obsfeed_test::eventually([&]() {return robot_->scans() >= scans_before + 3;}))
      << "run " << run << ": the node never served";
    failures += stopAtRandom(node, generator_, 30ms);
  }
  EXPECT_EQ(failures, "");
}

}  // namespace
