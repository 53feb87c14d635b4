// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

// The logger is configured once per process, so every configuration runs the probe program
// in a fresh process with a chosen environment and checks what it printed.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/child_process.hpp"

namespace
{

using Lines = std::vector<std::string>;

const char kNotSetStdout[] = "environment variable SPDLOG_STDOUT is not set, and set true";
const char kNotSetSystemd[] = "environment variable SPDLOG_SYSTEMD is not set, and set false";
const char kNotSetLevel[] = "environment variable SPDLOG_LEVEL is not set, and set default level";
const char kInvalidStdout[] = "environment variable SPDLOG_STDOUT is invalid, and set true";
const char kInvalidSystemd[] = "environment variable SPDLOG_SYSTEMD is invalid, and set false";
const char kInvalidLevel[] = "environment variable SPDLOG_LEVEL is invalid, and set default level";

std::vector<std::string> probe(
  const std::vector<std::string> & arguments, const std::map<std::string, std::string> & env)
{
  int status = 0;
  obsfeed_test::ChildProcess child(LOGGER_PROBE_PATH, arguments, env);
  status = child.waitForExit();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "probe status " << status;
  return child.outputLines();
}

TEST(LoggerEnvironment, NothingSetReportsEveryDefaultInOrder)
{
  EXPECT_EQ(
    probe({"mixed"}, {}),
    (Lines{
      kNotSetStdout, kNotSetSystemd, kNotSetLevel,
      "  1 [INFO] log_level: 2",
      "  2 [WARN] bumperCallback msg->bumper_trig=1",
      "  3 [ERROR] input data not match",
      "  4 [INFO] last 4 of four"}));
}

TEST(LoggerEnvironment, AcceptedValuesReportNothing)
{
  // With the journal on as well, standard output still gets every statement.
  for (const std::string journal : {"false", "true"}) {
    EXPECT_EQ(
      probe({"mixed"}, {{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", journal}, {"SPDLOG_LEVEL", "info"}}),
      (Lines{
        "  1 [INFO] log_level: 2",
        "  2 [WARN] bumperCallback msg->bumper_trig=1",
        "  3 [ERROR] input data not match",
        "  4 [INFO] last 4 of four"})) << "SPDLOG_SYSTEMD=" << journal;
  }
}

TEST(LoggerEnvironment, SwitchValuesAreCaseSensitiveAndUntrimmed)
{
  for (const std::string value : {"TRUE", "True", "", " true", "1"}) {
    const auto lines = probe({"mixed"}, {{"SPDLOG_STDOUT", value}, {"SPDLOG_SYSTEMD", value}});
    ASSERT_GE(lines.size(), 4u) << "value '" << value << "'";
    EXPECT_EQ(lines[0], kInvalidStdout) << "value '" << value << "'";
    EXPECT_EQ(lines[1], kInvalidSystemd) << "value '" << value << "'";
    EXPECT_EQ(lines[2], kNotSetLevel);
    // Standard output stays on.
    EXPECT_EQ(lines[3], "  1 [INFO] log_level: 2");
  }
}

TEST(LoggerEnvironment, StdoutOffSilencesStatementsButNotTheReport)
{
  EXPECT_EQ(
    probe({"mixed"}, {{"SPDLOG_STDOUT", "false"}}),
    (Lines{kNotSetSystemd, kNotSetLevel}));
}

TEST(LoggerLevel, WarningHidesInfoWithoutAdvancingTheCounter)
{
  EXPECT_EQ(
    probe({"mixed"}, {{"SPDLOG_LEVEL", "warning"}}),
    (Lines{
      kNotSetStdout, kNotSetSystemd,
      "  1 [WARN] bumperCallback msg->bumper_trig=1",
      "  2 [ERROR] input data not match"}));
}

TEST(LoggerLevel, ErrorHidesWarnings)
{
  EXPECT_EQ(
    probe({"mixed"}, {{"SPDLOG_LEVEL", "error"}, {"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}}),
    (Lines{"  1 [ERROR] input data not match"}));
}

TEST(LoggerLevel, UnacceptedNamesFallBackToInfo)
{
  for (const std::string value : {"off", "warn", "Error", "INFO", "WARNING", ""}) {
    const auto lines = probe({"mixed"}, {{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", value}});
    EXPECT_EQ(
      lines,
      (Lines{
        kInvalidLevel,
        "  1 [INFO] log_level: 2",
        "  2 [WARN] bumperCallback msg->bumper_trig=1",
        "  3 [ERROR] input data not match",
        "  4 [INFO] last 4 of four"})) << "SPDLOG_LEVEL='" << value << "'";
  }
}

TEST(LoggerSequence, WrapsAtOneHundredTwentyEightInAThreeColumnField)
{
  const auto lines = probe(
    {"many", "260"}, {{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "trace"}});
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
  const auto lines = probe({"names"}, {{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "info"}});
  EXPECT_EQ(lines, (Lines{"same instance: 1, name: first_name"}));
}

TEST(LoggerConcurrency, ManyThreadsGiveWholeLinesAndEveryNumberEquallyOften)
{
  const auto lines = probe(
    {"threads"}, {{"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "info"}});
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
