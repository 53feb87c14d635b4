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
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "obsfeed_child_process/child_process.hpp"

namespace
{

using obsfeed_child_process::ChildOutput;
using obsfeed_child_process::ChildProcess;
using obsfeed_child_process::runToEnd;

// A team's shell exports its own ROS_DOMAIN_ID; the value a test gives its child must be the
// one the child reads, and the shell's logger settings must not reach it at all.
TEST(ChildProcess, TheTestsVariablesWinAndTheLoggersAreNotInherited)
{
  setenv("ROS_DOMAIN_ID", "42", 1);
  setenv("SPDLOG_LEVEL", "off", 1);
  setenv("OBSFEED_INHERITED", "kept", 1);
  int status = 0;
  const std::string env = runToEnd("/usr/bin/env", {}, {{"ROS_DOMAIN_ID", "7"}}, &status);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(env.find("\nROS_DOMAIN_ID=7\n"), std::string::npos) << env;
  EXPECT_EQ(env.find("ROS_DOMAIN_ID=42"), std::string::npos) << env;
  EXPECT_EQ(env.find("SPDLOG_"), std::string::npos) << env;
  EXPECT_NE(env.find("\nOBSFEED_INHERITED=kept\n"), std::string::npos) << env;
}

TEST(ChildProcess, OutputGoesWhereItIsSent)
{
  const std::string script = "echo out; echo err >&2";
  int status = 0;
  EXPECT_EQ(runToEnd("/bin/sh", {"-c", script}, {}, &status), "out\n");
  EXPECT_EQ(
    runToEnd("/bin/sh", {"-c", script}, {}, &status, ChildOutput::capturedWithErrors()),
    "out\nerr\n");

  const std::string log = ::testing::TempDir() + "child_process_" + std::to_string(getpid());
  EXPECT_EQ(runToEnd("/bin/sh", {"-c", script}, {}, &status, ChildOutput::file(log)), "");
  std::ostringstream written;
  written << std::ifstream(log).rdbuf();
  EXPECT_EQ(written.str(), "out\nerr\n");
  unlink(log.c_str());
}

// stop() is Ctrl-C; a program deaf to it is killed once the grace has passed, and so is one
// that outlives waitForExit's deadline.
TEST(ChildProcess, StopAsksFirstAndKillsAfterTheGrace)
{
  ChildProcess listening("/bin/sleep", {"30"});
  EXPECT_TRUE(listening.running());
  int status = listening.stop();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_FALSE(listening.running());

  ChildProcess deaf("/bin/sh", {"-c", "trap '' INT; echo deaf; exec sleep 30"});
  ASSERT_TRUE(deaf.waitForOutput("deaf"));
  status = deaf.stop(std::chrono::milliseconds(300));
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

  EXPECT_THROW(ChildProcess("/nonexistent/program", {}), std::runtime_error);
}

}  // namespace
