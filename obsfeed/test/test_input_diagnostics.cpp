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

// The inputs' health as a diagnostic aggregator sees it, with time under the test's control.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "obsfeed/input_diagnostics.hpp"

namespace
{

using costmap_input::InputDiagnostics;
using Status = diagnostic_msgs::msg::DiagnosticStatus;
using namespace std::chrono_literals;

std::map<std::string, std::string> valuesOf(const Status & status)
{
  std::map<std::string, std::string> values;
  for (const auto & pair : status.values) {
    values[pair.key] = pair.value;
  }
  return values;
}

class Diagnostics : public ::testing::Test
{
protected:
  const InputDiagnostics::Clock::time_point start_{1000s};
  InputDiagnostics diagnostics_{
    "costmap_input", {"ultrasonic_01_link", "ultrasonic_02_link", "ultrasonic_03_link"}, 1500ms,
    start_};

  /// Ten arrays a second for one second, from @p from on.
  void tenPerSecond(
    InputDiagnostics::Clock::time_point from, const std::vector<std::uint16_t> & data)
  {
    for (int i = 0; i < 10; ++i) {
      diagnostics_.recordReadings(data, from + i * 100ms);
    }
  }
};

TEST_F(Diagnostics, StreamingInputsAreOkWithTheirCountsAndRates)
{
  tenPerSecond(start_, {100, 0xFFFF, 250});
  for (int i = 0; i < 5; ++i) {
    diagnostics_.recordBumper(i == 4, start_ + i * 200ms);
  }
  const auto statuses = diagnostics_.statuses(start_ + 1s);
  ASSERT_EQ(statuses.size(), 4u);
  const char * const expected_last[] = {"100", "65535 (no echo)", "250"};
  for (std::size_t i = 0; i < 3; ++i) {
    const Status & status = statuses[i];
    EXPECT_EQ(status.name, "costmap_input: ultrasonic sensor " + std::to_string(i + 1));
    EXPECT_EQ(status.hardware_id, "ultrasonic_0" + std::to_string(i + 1) + "_link");
    EXPECT_EQ(status.level, Status::OK) << status.message;
    EXPECT_EQ(status.message, "receiving readings");
    const std::map<std::string, std::string> expected{
      {"Last reading (mm)", expected_last[i]}, {"Readings per second", "10.0"},
      {"No-echo readings", i == 1 ? "10" : "0"}, {"Skipped readings", "0"},
      {"Dropped arrays", "0"}};
    EXPECT_EQ(valuesOf(status), expected) << status.name;
  }
  const Status & bumper = statuses[3];
  EXPECT_EQ(bumper.name, "costmap_input: bumper");
  EXPECT_EQ(bumper.hardware_id, "bumper");
  EXPECT_EQ(bumper.level, Status::OK);
  EXPECT_EQ(bumper.message, "pressed");
  const std::map<std::string, std::string> expected{
    {"Pressed", "true"}, {"Messages per second", "5.0"}, {"Contact messages", "1"}};
  EXPECT_EQ(valuesOf(bumper), expected);

  // Rates cover the time since the previous summary, not since start-up.
  tenPerSecond(start_ + 1s, {100, 100, 100});
  tenPerSecond(start_ + 2s, {100, 100, 100});
  diagnostics_.recordBumper(false, start_ + 2500ms);
  const auto later = diagnostics_.statuses(start_ + 3s);
  EXPECT_EQ(valuesOf(later[0])["Readings per second"], "10.0");
  EXPECT_EQ(valuesOf(later[1])["Last reading (mm)"], "100");
  EXPECT_EQ(valuesOf(later[3])["Messages per second"], "0.5");
  EXPECT_EQ(later[3].message, "released");
  EXPECT_EQ(valuesOf(later[3])["Contact messages"], "1");
}

// Silence is counted from the last message, or from start-up while none has come; it is an
// error from the stale timeout on (1.5 s here), and a message ends it at once.
TEST_F(Diagnostics, SilentInputsWarnUntilTheStaleTimeoutAndThenFail)
{
  auto levels = [](const std::vector<Status> & statuses) {
      std::vector<std::string> seen;
      for (const auto & status : statuses) {
        seen.push_back(std::to_string(status.level) + " " + status.message);
      }
      return seen;
    };
  EXPECT_EQ(
    levels(diagnostics_.statuses(start_ + 1499ms)),
    std::vector<std::string>(
      {"1 waiting for readings", "1 waiting for readings", "1 waiting for readings",
        "1 waiting for status messages"}));
  EXPECT_EQ(
    levels(diagnostics_.statuses(start_ + 1500ms)),
    std::vector<std::string>(
      {"2 no readings received", "2 no readings received", "2 no readings received",
        "2 no status messages received"}));
  const auto none = diagnostics_.statuses(start_ + 1600ms);
  EXPECT_EQ(valuesOf(none[0])["Last reading (mm)"], "none");
  EXPECT_EQ(valuesOf(none[0])["Readings per second"], "0.0");

  diagnostics_.recordReadings({100, 100, 100}, start_ + 2s);
  diagnostics_.recordBumper(false, start_ + 2s);
  EXPECT_EQ(diagnostics_.statuses(start_ + 3s)[0].level, Status::OK);
  EXPECT_EQ(diagnostics_.statuses(start_ + 3499ms)[3].level, Status::OK);
  EXPECT_EQ(
    levels(diagnostics_.statuses(start_ + 4300ms)),
    std::vector<std::string>(
      {"2 no readings for 2.3 s", "2 no readings for 2.3 s", "2 no readings for 2.3 s",
        "2 no status messages for 2.3 s"}));
  diagnostics_.recordReadings({100, 100, 100}, start_ + 5s);
  EXPECT_EQ(diagnostics_.statuses(start_ + 5s)[2].level, Status::OK);
}

// A skipped sensor warns for as long as it stays skipped, a single skip for one period; arrays
// of the wrong length warn every sensor for the period they came in, and are no readings.
TEST_F(Diagnostics, SkippedSensorsAndWrongLengthArraysWarn)
{
  tenPerSecond(start_, {0xEEEE, 100, 100});
  diagnostics_.recordReadings({100, 0xEEEE, 100}, start_ + 950ms);
  auto statuses = diagnostics_.statuses(start_ + 1s);
  // Its last reading is a measurement, but it was skipped during the period.
  EXPECT_EQ(statuses[0].level, Status::WARN);
  EXPECT_EQ(statuses[0].message, "sensor skipped");
  EXPECT_EQ(valuesOf(statuses[0])["Skipped readings"], "10");
  EXPECT_EQ(statuses[1].level, Status::WARN);
  EXPECT_EQ(valuesOf(statuses[1])["Last reading (mm)"], "61166 (skipped)");
  EXPECT_EQ(statuses[2].level, Status::OK);

  // Sensor 2 stays skipped without new skips counted for sensor 1.
  statuses = diagnostics_.statuses(start_ + 1200ms);
  EXPECT_EQ(statuses[0].level, Status::OK);
  EXPECT_EQ(statuses[1].message, "sensor skipped");

  // Only wrong-length arrays from now on: every sensor warns, and once they have gone on for
  // the stale timeout, the sensors have no readings either.
  for (std::size_t length : {0u, 2u, 4u, 1000u}) {
    diagnostics_.recordReadings(std::vector<std::uint16_t>(length, 100), start_ + 1300ms);
  }
  statuses = diagnostics_.statuses(start_ + 2s);
  EXPECT_EQ(statuses[2].level, Status::WARN);
  EXPECT_EQ(statuses[2].message, "readings arrays of the wrong length dropped");
  EXPECT_EQ(statuses[1].message, "sensor skipped; readings arrays of the wrong length dropped");
  EXPECT_EQ(valuesOf(statuses[0])["Dropped arrays"], "4");
  EXPECT_EQ(valuesOf(statuses[0])["Readings per second"], "0.0");
  diagnostics_.recordReadings({1, 2}, start_ + 2400ms);
  statuses = diagnostics_.statuses(start_ + 2550ms);
  EXPECT_EQ(statuses[2].level, Status::ERROR);
  EXPECT_EQ(
    statuses[2].message, "no readings for 1.6 s; readings arrays of the wrong length dropped");
  // When they stop, the warning goes with them.
  diagnostics_.recordReadings({100, 100, 100}, start_ + 2600ms);
  EXPECT_EQ(diagnostics_.statuses(start_ + 3s)[2].level, Status::OK);
}

}  // namespace
