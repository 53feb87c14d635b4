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

// obsfeed_node as a real process: what it prints, and how it ends.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "obsfeed_child_process/child_process.hpp"

namespace
{

using Lines = std::vector<std::string>;
using obsfeed_child_process::ChildOutput;
using obsfeed_child_process::ChildProcess;

const char kNotSetStdout[] = "environment variable SPDLOG_STDOUT is not set, and set true";
const char kNotSetLevel[] = "environment variable SPDLOG_LEVEL is not set, and set default level";

bool exitedWithZero(int status)
{
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One logger for program and library: its report appears once, and the library's first
// statement is the first of the process. The journal is switched on but there is none: the
// lines still reach standard output, and the node goes on.
TEST(Program, StartsWithOneLoggerReportAndItsLevelEvenWithoutAJournal)
{
  // A domain of its own: a reading from anywhere else would add a line.
  ChildProcess node(
    OBSFEED_NODE_PATH, {},
    {{"SPDLOG_SYSTEMD", "true"}, {"ROS_DOMAIN_ID", std::to_string(1 + getpid() % 200)}});
  ASSERT_TRUE(node.waitForOutput("log_level: ")) << node.output();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // past its construction
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
    const std::string output = obsfeed_child_process::runToEnd(
      OBSFEED_NODE_PATH, {}, env, &status, ChildOutput::capturedWithErrors());
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT)
      << env.begin()->second << ": status " << status << "\n" << output;
    EXPECT_NE(output.find(named), std::string::npos) << output;
  }
}

TEST(Program, AbortsWhenTheNodeCannotBeBuilt)
{
  for (const std::string override : {"debug:=7", "ultrasonic.hor_sample_ratio:=.nan"}) {
    int status = 0;
    const std::string output = obsfeed_child_process::runToEnd(
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
  const std::string help = obsfeed_child_process::runToEnd(
    OBSFEED_PROBE_PATH, {"--help"}, {}, &status);
  EXPECT_TRUE(exitedWithZero(status)) << "status " << status;
  EXPECT_EQ(help.rfind("usage: obsfeed_probe", 0), 0u) << help;
  // The usage of a mistake goes to standard error: nothing on standard output.
  EXPECT_EQ(obsfeed_child_process::runToEnd(OBSFEED_PROBE_PATH, {"--helpme"}, {}, &status), "");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << "status " << status;
}

}  // namespace
