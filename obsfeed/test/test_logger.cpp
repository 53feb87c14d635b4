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

// The logger is configured once per process, so every configuration runs the probe program
// in a fresh process with a chosen environment and checks what it printed.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "obsfeed_child_process/child_process.hpp"

namespace
{

using Lines = std::vector<std::string>;

const char kNotSetStdout[] = "environment variable SPDLOG_STDOUT is not set, and set true";
const char kNotSetSystemd[] = "environment variable SPDLOG_SYSTEMD is not set, and set false";
const char kNotSetLevel[] = "environment variable SPDLOG_LEVEL is not set, and set default level";
const char kInvalidStdout[] = "environment variable SPDLOG_STDOUT is invalid, and set true";
const char kInvalidSystemd[] = "environment variable SPDLOG_SYSTEMD is invalid, and set false";
const char kInvalidLevel[] = "environment variable SPDLOG_LEVEL is invalid, and set default level";

using Env = std::map<std::string, std::string>;
// Every variable set to an accepted value: no report lines.
const Env kAccepted{{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"},
  {"SPDLOG_LEVEL", "info"}};

Lines probe(const std::vector<std::string> & arguments, const Env & env = kAccepted)
{
  obsfeed_child_process::ChildProcess child(LOGGER_PROBE_PATH, arguments, env);
  const int status = child.waitForExit();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "probe status " << status;
  return child.outputLines();
}

// Each environment, and every line the probe's four statements (info, warn, error, info) give.
TEST(LoggerEnvironment, EachSettingGivesItsReportAndItsStatements)
{
  const Lines statements{
    "  1 [INFO] log_level: 2", "  2 [WARN] bumperCallback msg->bumper_trig=1",
    "  3 [ERROR] input data not match", "  4 [INFO] last 4 of four"};
  const auto after = [&statements](Lines report) {
      report.insert(report.end(), statements.begin(), statements.end());
      return report;
    };
  std::vector<std::pair<Env, Lines>> rows{
    {{}, after({kNotSetStdout, kNotSetSystemd, kNotSetLevel})},
    {kAccepted, statements},
    // With the journal on as well, standard output still gets every statement.
    {{{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "true"}, {"SPDLOG_LEVEL", "info"}}, statements},
    // Off: the statements go, the report stays.
    {{{"SPDLOG_STDOUT", "false"}}, {kNotSetSystemd, kNotSetLevel}},
    // A hidden statement does not advance the counter.
    {{{"SPDLOG_LEVEL", "warning"}}, {kNotSetStdout, kNotSetSystemd,
        "  1 [WARN] bumperCallback msg->bumper_trig=1", "  2 [ERROR] input data not match"}},
    {{{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "error"}},
      {"  1 [ERROR] input data not match"}},
  };
  // Switches are case sensitive and untrimmed; an invalid one keeps standard output on.
  for (const std::string value : {"TRUE", "True", "", " true", "1"}) {
    rows.push_back(
      {{{"SPDLOG_STDOUT", value}, {"SPDLOG_SYSTEMD", value}},
        after({kInvalidStdout, kInvalidSystemd, kNotSetLevel})});
  }
  // Only the lower-case names are levels; anything else means info.
  for (const std::string value : {"off", "warn", "Error", "INFO", "WARNING", ""}) {
    Env env = kAccepted;
    env["SPDLOG_LEVEL"] = value;
    rows.push_back({env, after({kInvalidLevel})});
  }
  for (const auto & [env, lines] : rows) {
    std::string described;
    for (const auto & [name, value] : env) {
      described += name + "='" + value + "' ";
    }
    EXPECT_EQ(probe({"mixed"}, env), lines) << described;
  }
}

TEST(LoggerSequence, WrapsAtOneHundredTwentyEightInAThreeColumnField)
{
  const auto lines = probe(
    {"many", "260"},
    {{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "trace"}});
  ASSERT_EQ(lines.size(), 260u);
  EXPECT_EQ(lines[0], "  1 [INFO] statement 1");
  EXPECT_EQ(lines[8], "  9 [INFO] statement 9");
  EXPECT_EQ(lines[9], " 10 [INFO] statement 10");
  EXPECT_EQ(lines[126], "127 [INFO] statement 127");
  EXPECT_EQ(lines[127], "  0 [INFO] statement 128");
  EXPECT_EQ(lines[128], "  1 [INFO] statement 129");
  // The 8-bit counter wraps from 255 to 0 without disturbing the shown number.
  EXPECT_EQ(lines[254], "127 [INFO] statement 255");
  EXPECT_EQ(lines[255], "  0 [INFO] statement 256");
  EXPECT_EQ(lines[256], "  1 [INFO] statement 257");
}

TEST(LoggerInstance, FirstNameWins)
{
  const auto lines = probe({"names"});
  EXPECT_EQ(lines, (Lines{"same instance: 1, name: first_name"}));
}

// Loaded as a library (a component in a container), the logger leaves the process's standard
// output and its SIGPIPE handling as they were, and still writes to the same pipe.
TEST(LoggerInstance, LeavesDescriptorOneAndSigpipeAsTheyWere)
{
  const auto lines = probe({"library"});
  EXPECT_EQ(lines, (Lines{"  1 [INFO] from a library", "descriptor 1 flags kept, SIGPIPE kept"}));
}

TEST(LoggerConcurrency, ManyThreadsGiveWholeLinesAndEveryNumberEquallyOften)
{
  const auto lines = probe({"threads"});
  // 8 threads x 96 statements = 768 = 6 x 128: with an atomic counter every shown number
  // 0..127 appears exactly six times; a lost update would repeat one and skip another.
  ASSERT_EQ(lines.size(), 768u);
  const std::regex whole_line(
    R"(([ 0-9]{3}) \[WARN\] thread [0-7] statement [0-9]+ with a tail long enough to tear if writes interleave)");
  std::map<int, int> times_shown;
  std::set<std::string> statements;
  for (const auto & line : lines) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, whole_line)) << line;
    ++times_shown[std::stoi(match[1].str())];
    statements.insert(line.substr(4));
  }
  EXPECT_EQ(statements.size(), 768u);
  ASSERT_EQ(times_shown.size(), 128u);
  for (const auto & [number, count] : times_shown) {
    EXPECT_EQ(count, 6) << "number " << number;
  }
}

}  // namespace
