// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

// obsfeed_node as a real process: what it prints, and how it ends.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.hpp"

namespace
{

using Lines = std::vector<std::string>;
using obsfeed_test::ChildProcess;

const char kNotSetStdout[] = "environment variable SPDLOG_STDOUT is not set, and set true";
const char kNotSetSystemd[] = "environment variable SPDLOG_SYSTEMD is not set, and set false";
const char kNotSetLevel[] = "environment variable SPDLOG_LEVEL is not set, and set default level";
const char kInvalidLevel[] = "environment variable SPDLOG_LEVEL is invalid, and set default level";

bool exitedWithZero(int status)
{
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

/// Starts the node, waits until it has logged its level, stops it with @p signal_number while it
/// is still being built and returns its output lines; the exit status must be 0.
std::vector<std::string> runUntilSignal(
  int signal_number, const std::vector<std::string> & arguments,
  const std::map<std::string, std::string> & env)
{
  ChildProcess node(OBSFEED_NODE_PATH, arguments, env);
  EXPECT_TRUE(node.waitForOutput("log_level: ")) << node.output();
  node.sendSignal(signal_number);
  const int status = node.waitForExit();
  EXPECT_TRUE(exitedWithZero(status)) << "status " << status << ", output:\n" << node.output();
  return node.outputLines();
}

TEST(Program, StartsWithTheReportAndTheLevelAndHeedsOnlyRosArguments)
{
  // One logger for program and library: the report appears once, and the library's first
  // statement is the first statement of the process. "-p debug:=7" outside --ros-args is not
  // a ROS argument (as one it would end the program), the override after it is.
  EXPECT_EQ(
    runUntilSignal(
      SIGINT, {"--verbose", "-p", "debug:=7", "--ros-args", "-p", "ultrasonic.device_pose:=[ver, hor]"},
      {}),
    (Lines{kNotSetStdout, kNotSetSystemd, kNotSetLevel, "  1 [INFO] log_level: 2"}));
}

TEST(Program, LogsTheLevelTheQueryReadsNotTheOneTheLoggerUses)
{
  // The logger takes only lower-case names and falls back to info; the node's query ignores
  // case, so its line shows 3 (warning) and is still written.
  EXPECT_EQ(
    runUntilSignal(
      SIGTERM, {}, {{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "WARNING"}}),
    (Lines{kInvalidLevel, "  1 [INFO] log_level: 3"}));
}

/// Waits until the node has logged its level and, with a margin, finished its construction:
/// these tests are about a serving node, not one stopped while it starts.
bool serving(ChildProcess & node)
{
  const bool logged = node.waitForOutput("log_level: ");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  return logged;
}

// A supervisor that repeats its SIGINT, or sends SIGTERM to every process of a group at once,
// must still see a clean stop.
TEST(Program, EndsCleanlyOnRepeatedSignals)
{
  for (const auto & [signal_number, count] : {std::pair{SIGINT, 2}, std::pair{SIGTERM, 20}}) {
    ChildProcess node(OBSFEED_NODE_PATH, {}, {});
    ASSERT_TRUE(serving(node)) << node.output();
    for (int i = 0; i < count; ++i) {
      node.sendSignal(signal_number);
    }
    const int status = node.waitForExit();
    EXPECT_TRUE(exitedWithZero(status))
      << count << " x signal " << signal_number << ": status " << status;
  }
}

// No journal to write to: the lines still reach standard output, and the node goes on.
TEST(Program, RunsWithTheJournalSwitchedOnButNoJournal)
{
  ChildProcess node(OBSFEED_NODE_PATH, {}, {{"SPDLOG_SYSTEMD", "true"}});
  ASSERT_TRUE(serving(node)) << node.output();
  node.sendSignal(SIGTERM);
  const int status = node.waitForExit();
  EXPECT_TRUE(exitedWithZero(status)) << "status " << status;
  EXPECT_EQ(node.outputLines(), (Lines{kNotSetStdout, kNotSetLevel, "  1 [INFO] log_level: 2"}));
}

// A network configuration it cannot use stops the node at start-up, saying what is wrong,
// instead of leaving it running deaf or hanging.
TEST(Program, AbortsOnAnUnusableNetworkConfiguration)
{
  const std::vector<std::pair<std::map<std::string, std::string>, std::string>> cases{
    {{{"ROS_DOMAIN_ID", "robot"}}, "ROS_DOMAIN_ID"},
    {{{"ROS_DOMAIN_ID", "99999999999999999999999"}}, "ROS_DOMAIN_ID"},
    {{{"ROS_DOMAIN_ID", "233"}}, ""},
    {{{"CYCLONEDDS_URI", "<CycloneDDS><Domain><Broken"}}, ""},
    {{{"CYCLONEDDS_URI", "file:///nonexistent/cyclonedds.xml"}}, ""},
  };
  for (const auto & [env, named] : cases) {
    int status = 0;
    const std::string output = obsfeed_test::runToEnd(OBSFEED_NODE_PATH, {}, env, &status, true);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT)
      << env.begin()->second << ": status " << status << "\n" << output;
    EXPECT_NE(output.find(named), std::string::npos) << output;
  }
}

TEST(Program, AbortsWhenTheNodeCannotBeBuilt)
{
  for (const std::string override : {"debug:=7", "ultrasonic.hor_sample_ratio:=.nan"}) {
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
