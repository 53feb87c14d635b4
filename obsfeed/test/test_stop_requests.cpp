// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

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
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"
#include "support/child_process.hpp"

namespace
{

using namespace std::chrono_literals;

// A stop that has not ended the process by then counts as a hang (the process is killed).
constexpr auto kExitDeadline = 10s;

std::map<std::string, std::string> isolatedNetwork()
{
  return {{"ROS_DOMAIN_ID", std::to_string(101 + getpid() % 48)}, {"ROS_LOCALHOST_ONLY", "1"}};
}

/// What the runs came to; shared by the threads that make them.
class Tally
{
public:
  void add(int status, const std::string & run)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++runs_;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      failures_.push_back(run + ": wait status " + std::to_string(status));
    }
  }

  void expectAllClean(int expected_runs) const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::ostringstream listed;
    for (const auto & failure : failures_) {
      listed << "\n  " << failure;
    }
    EXPECT_EQ(runs_, expected_runs);
    // A hang shows as killed by SIGKILL (9) after the deadline.
    EXPECT_TRUE(failures_.empty()) << failures_.size() << " runs failed:" << listed.str();
  }

private:
  mutable std::mutex mutex_;
  int runs_{0};
  std::vector<std::string> failures_;
};

/// One run's stop request: SIGINT or SIGTERM after a random delay, sometimes repeated at once,
/// as a Ctrl-C pressed twice or a supervisor signalling every process of a group sends it.
struct StopRequest
{
  int signal_number;
  std::chrono::microseconds delay;
  int times;

  static StopRequest random(std::mt19937 & generator, std::chrono::microseconds longest)
  {
    return StopRequest{
      std::uniform_int_distribution<int>(0, 1)(generator) ? SIGINT : SIGTERM,
      std::chrono::microseconds(
        std::uniform_int_distribution<std::int64_t>(0, longest.count())(generator)),
      std::vector<int>{1, 1, 2, 20}[std::uniform_int_distribution<std::size_t>(0, 3)(generator)]};
  }

  std::string describe() const
  {
    return std::string(signal_number == SIGINT ? "SIGINT" : "SIGTERM") + " after " +
           std::to_string(delay.count()) + " us, " + std::to_string(times) + " times";
  }

  /// Sends the request to @p node and returns the node's wait status.
  int sendTo(obsfeed_test::ChildProcess & node) const
  {
    std::this_thread::sleep_for(delay);
    for (int i = 0; i < times; ++i) {
      node.sendSignal(signal_number);
    }
    return node.waitForExit(std::chrono::duration_cast<std::chrono::seconds>(kExitDeadline));
  }
};

/// The robot's side: readings as fast as the node takes them, a pressed bumper now and then,
/// and a count of the scans that come back.
class BusyRobot
{
public:
  BusyRobot()
  : node_(std::make_shared<rclcpp::Node>("obsfeed_stop_requests_peer"))
  {
    auto readings = node_->create_publisher<std_msgs::msg::UInt16MultiArray>(
      "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(1));
    auto bumper = node_->create_publisher<quorvex_protocol::msg::RobotInfoLevelZero>(
      "/robot_info_level_zero", rclcpp::QoS(1));
    scans_sub_ = node_->create_subscription<sensor_msgs::msg::LaserScan>(
      "ultrasonic_laser1", rclcpp::QoS(10),
      [this](sensor_msgs::msg::LaserScan::ConstSharedPtr) {++scans_;});
    executor_.add_node(node_);
    spinner_ = std::thread(
      [this]() {
        executor_.spin();
        spun_ = true;
      });
    streamer_ = std::thread(
      [this, readings, bumper]() {
        std_msgs::msg::UInt16MultiArray reading;
        reading.data = {100, 0xFFFF, 200};
        quorvex_protocol::msg::RobotInfoLevelZero pressed;
        pressed.bumper_trig = true;
        for (std::uint64_t n = 0; streaming_; ++n) {
          readings->publish(reading);
          if (n % 20 == 0) {
            bumper->publish(pressed);
          }
          std::this_thread::sleep_for(1ms);
        }
      });
  }

  ~BusyRobot()
  {
    streaming_ = false;
    streamer_.join();
    // A cancel() that comes before spin() has started is lost, so repeat it until spin ends.
    while (!spun_) {
      executor_.cancel();
      std::this_thread::sleep_for(1ms);
    }
    spinner_.join();
  }

  std::uint64_t scans() const {return scans_;}

private:
  rclcpp::Node::SharedPtr node_;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr scans_sub_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::atomic<std::uint64_t> scans_{0};
  std::atomic<bool> streaming_{true};
  std::atomic<bool> spun_{false};
  std::thread spinner_;
  std::thread streamer_;
};

class StopRequests : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    for (const auto & [name, value] : isolatedNetwork()) {
      setenv(name.c_str(), value.c_str(), 1);
    }
    rclcpp::init(0, nullptr);
    robot_ = new BusyRobot();
  }

  static void TearDownTestSuite()
  {
    delete robot_;
    rclcpp::shutdown();
  }

  void SetUp() override
  {
    const unsigned seed = std::random_device()();
    generator_.seed(seed);
    RecordProperty("seed", std::to_string(seed));
    std::cout << "seed " << seed << std::endl;
  }

  static BusyRobot * robot_;
  std::mt19937 generator_;
};

BusyRobot * StopRequests::robot_ = nullptr;

TEST_F(StopRequests, DuringStartUpEndTheProcessWithStatusZero)
{
  // The first line is the logger's, written once ROS is initialised; from there the node is
  // built, its executor made and the spin begun within a few tens of milliseconds. Runs go
  // four at a time so that hundreds fit in well under a minute.
  constexpr int kSlots = 4;
  constexpr int kRunsPerSlot = 60;
  Tally tally;
  std::vector<std::thread> slots;
  for (int slot = 0; slot < kSlots; ++slot) {
    slots.emplace_back(
      [&, seed = generator_()]() {
        std::mt19937 generator(seed);
        for (int run = 0; run < kRunsPerSlot; ++run) {
          obsfeed_test::ChildProcess node(OBSFEED_NODE_PATH, {}, isolatedNetwork());
          const StopRequest stop = StopRequest::random(generator, 40ms);
          if (!node.waitForOutput("\n")) {
            tally.add(-1, "no first line");
            continue;
          }
          tally.add(stop.sendTo(node), stop.describe());
        }
      });
  }
  for (auto & slot : slots) {
    slot.join();
  }
  tally.expectAllClean(kSlots * kRunsPerSlot);
}

TEST_F(StopRequests, WhileServingABusyStreamEndTheProcessWithStatusZero)
{
  // One node at a time, so that scans arriving prove that this very node serves.
  constexpr int kRuns = 80;
  Tally tally;
  for (int run = 0; run < kRuns; ++run) {
    const std::uint64_t scans_before = robot_->scans();
    obsfeed_test::ChildProcess node(OBSFEED_NODE_PATH, {}, isolatedNetwork());
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (robot_->scans() < scans_before + 3 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(1ms);
    }
    ASSERT_GE(robot_->scans(), scans_before + 3) << "run " << run << ": the node never served";
    const StopRequest stop = StopRequest::random(generator_, 30ms);
    tally.add(stop.sendTo(node), stop.describe());
  }
  tally.expectAllClean(kRuns);
}

}  // namespace
