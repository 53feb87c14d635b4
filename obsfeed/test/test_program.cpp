// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

// obsfeed_node as a real process: what it prints, and how it ends.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "support/child_process.hpp"

namespace
{

using Lines = std::vector<std::string>;
using obsfeed_test::ChildProcess;

const char kNotSetStdout[] = "environment variable SPDLOG_STDOUT is not set, and set true";
const char kNotSetSystemd[] = "environment variable SPDLOG_SYSTEMD is not set, and set false";
const char kNotSetLevel[] = "environment variable SPDLOG_LEVEL is not set, and set default level";
const char kInvalidLevel[] = "environment variable SPDLOG_LEVEL is invalid, and set default level";

// What a start with no logging variable prints before the node serves.
const Lines kDefaultStart{kNotSetStdout, kNotSetSystemd, kNotSetLevel, "  1 [INFO] log_level: 2"};

bool exitedWithZero(int status)
{
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

/// Sees from the network whether a node has built everything: "bumper_laser" is the last
/// publisher it creates. A signal that comes earlier ends the construction instead (Humble's
/// rclcpp creates nothing on a context that the signal has shut down), which is not what these
/// cases are about. The nodes this test starts share its DDS domain, of its own, on loopback.
class BuiltNodeWatch : public testing::Environment
{
public:
  void SetUp() override
  {
    setenv("ROS_DOMAIN_ID", std::to_string(1 + getpid() % 100).c_str(), 1);
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>("obsfeed_program_test");
    bumper_ = node_->create_subscription<sensor_msgs::msg::LaserScan>(
      "/bumper_laser", rclcpp::QoS(1), [](const sensor_msgs::msg::LaserScan &) {});
  }

  void TearDown() override
  {
    bumper_.reset();
    node_.reset();
    rclcpp::shutdown();
  }

  /// Waits until exactly @p count nodes publish on "bumper_laser".
  static bool waitForNodes(std::size_t count)
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (bumper_->get_publisher_count() != count) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

private:
  static inline rclcpp::Node::SharedPtr node_;
  static inline rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr bumper_;
};

testing::Environment * const kBuiltNodeWatch =
  testing::AddGlobalTestEnvironment(new BuiltNodeWatch);

/// Starts the node, waits until it has logged its level and built everything, stops it with
/// @p signal_number and returns its output lines; the exit status must be 0.
std::vector<std::string> runUntilSignal(
  int signal_number, const std::vector<std::string> & arguments,
  const std::map<std::string, std::string> & env)
{
  EXPECT_TRUE(BuiltNodeWatch::waitForNodes(0)) << "the node of a previous case is still there";
  ChildProcess node(OBSFEED_NODE_PATH, arguments, env);
  EXPECT_TRUE(node.waitForOutput("log_level: ")) << node.output();
  EXPECT_TRUE(BuiltNodeWatch::waitForNodes(1));
  node.sendSignal(signal_number);
  const int status = node.waitForExit();
  EXPECT_TRUE(exitedWithZero(status)) << "status " << status << ", output:\n" << node.output();
  return node.outputLines();
}

TEST(Program, StartsWithTheReportAndTheLevelAndEndsCleanlyOnSigintAndSigterm)
{
  // One logger for program and library: the report appears once, and the library's first
  // statement is the first statement of the process.
  EXPECT_EQ(runUntilSignal(SIGINT, {}, {}), kDefaultStart);
  EXPECT_EQ(runUntilSignal(SIGTERM, {}, {}), kDefaultStart);
}

TEST(Program, LogsTheLevelTheQueryReadsNotTheOneTheLoggerUses)
{
  const std::map<std::string, std::string> accepted_switches{
    {"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}};
  auto with_level = [&](const std::string & level) {
      auto env = accepted_switches;
      env["SPDLOG_LEVEL"] = level;
      return env;
    };
  EXPECT_EQ(
    runUntilSignal(SIGINT, {}, with_level("off")),
    (Lines{kInvalidLevel, "  1 [INFO] log_level: 6"}));
  EXPECT_EQ(
    runUntilSignal(SIGINT, {}, with_level("Error")),
    (Lines{kInvalidLevel, "  1 [INFO] log_level: 4"}));
  EXPECT_EQ(
    runUntilSignal(SIGINT, {}, with_level("WARNING")),
    (Lines{kInvalidLevel, "  1 [INFO] log_level: 3"}));
  EXPECT_EQ(
    runUntilSignal(SIGINT, {}, with_level("nonsense")),
    (Lines{kInvalidLevel, "  1 [INFO] log_level: 2"}));
}

TEST(Program, IgnoresArgumentsThatAreNotRosArgumentsAndAcceptsRosArguments)
{
  EXPECT_EQ(runUntilSignal(SIGINT, {"--verbose", "extra", "-p", "debug:=7"}, {}), kDefaultStart);
  EXPECT_EQ(
    runUntilSignal(
      SIGINT, {"--ros-args", "-p", "debug:=true", "-p", "ultrasonic.device_pose:=[ver, hor]"}, {}),
    kDefaultStart);
}

TEST(Program, AbortsWhenTheNodeCannotBeBuilt)
{
  for (const std::string override : {"debug:=7", "debug:=maybe", "ultrasonic.hor_sample_ratio:=.nan"}) {
    int status = 0;
    const std::string output = obsfeed_test::runToEnd(
      OBSFEED_NODE_PATH, {"--ros-args", "-p", override}, {}, &status);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT)
      << override << ": status " << status;
    // The logger exists before the node, so its report is there.
    EXPECT_NE(output.find(kNotSetLevel), std::string::npos) << output;
    if (override.rfind("debug", 0) == 0) {
      // "debug" is read before the level line, so a bad value stops the node before it logs.
      EXPECT_EQ(output.find("log_level"), std::string::npos) << output;
    }
  }
}

TEST(Program, ProbeHelpPrintsTheUsageAndSucceedsWhereABadReadingFails)
{
  int status = 0;
  const std::string help = obsfeed_test::runToEnd(OBSFEED_PROBE_PATH, {"--help"}, {}, &status);
  EXPECT_TRUE(exitedWithZero(status)) << "status " << status;
  EXPECT_EQ(help.rfind("usage: obsfeed_probe", 0), 0u) << help;
  // The usage of a mistake goes to standard error: nothing on standard output.
  EXPECT_EQ(obsfeed_test::runToEnd(OBSFEED_PROBE_PATH, {"--helpme"}, {}, &status), "");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << "status " << status;
}

}  // namespace
