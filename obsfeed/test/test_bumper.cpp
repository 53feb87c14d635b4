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

#include <atomic>
#include <chrono>
#include <future>
#include <regex>
#include <string>
#include <thread>

#include "quorvex_lumidra_diagnosis/diagnosis.hpp"
#include "support/node_harness.hpp"
#include "support/log_capture.hpp"

namespace
{

using obsfeed_test::nanosecondsOf;
using obsfeed_test::RunningNode;
using obsfeed_test::LogCapture;

const std::regex kTriggerLine(R"([ 0-9]{3} \[WARN\] bumperCallback msg->bumper_trig=1)");
const std::regex kTimeLine(R"([ 0-9]{3} \[WARN\] bumperCallback use time: [0-9]+\.[0-9]{4} ms)");

TEST_F(RunningNode, SteadyContactGivesOneFreshArcPerMessageAndReleaseGivesNone)
{
  startNode("bumper_steady");
  auto bumper = listen("bumper_laser");
  LogCapture capture;
  constexpr std::size_t kMessages = 20;
  // A released bumper first: no arc, no line.
  publishBumper(false);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  for (std::size_t i = 1; i <= kMessages; ++i) {
    publishBumper(true);
    ASSERT_TRUE(bumper->waitForCount(i));
  }
  // Releasing the bumper sends no clearing scan either.
  publishBumper(false);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  publishBumper(true);
  ASSERT_TRUE(bumper->waitForCount(kMessages + 1));
  ASSERT_TRUE(capture.waitForLines("use time", kMessages + 1));
  EXPECT_EQ(bumper->count(), kMessages + 1);

  const auto scans = bumper->messages();
  for (std::size_t i = 1; i < scans.size(); ++i) {
    EXPECT_NE(scans[i].ranges, scans[i - 1].ranges) << "arc " << i << " repeats the one before";
  }
  // Never two callbacks at once: the lines come in whole pairs with consecutive numbers.
  const auto lines = capture.linesContaining("bumperCallback");
  ASSERT_EQ(lines.size(), 2 * (kMessages + 1));
  for (std::size_t i = 0; i < lines.size(); i += 2) {
    EXPECT_TRUE(std::regex_match(lines[i], kTriggerLine)) << lines[i];
    EXPECT_TRUE(std::regex_match(lines[i + 1], kTimeLine)) << lines[i + 1];
    EXPECT_EQ(std::stoi(lines[i + 1].substr(0, 3)), (std::stoi(lines[i].substr(0, 3)) + 1) % 128);
  }
}

TEST_F(RunningNode, StampFollowsTheNodeClockTenMillisecondsBack)
{
  startNode("bumper_sim_time");
  auto bumper = listen("bumper_laser");
  // Before the first clock message, then a simulated time (the arithmetic alone:
  // test_scan_arithmetic).
  const struct
  {
    std::int64_t node_time;
    std::int64_t stamp;
  } cases[] = {{0, 0}, {5'000'000'000, 4'990'000'000}};
  std::size_t scans = 0;
  for (const auto & c : cases) {
    if (c.node_time != 0) {
      setSimulatedTime(c.node_time);
    }
    publishBumper(true);
    ASSERT_TRUE(bumper->waitForCount(++scans));
    EXPECT_EQ(nanosecondsOf(bumper->last().header.stamp), c.stamp) << "node time " << c.node_time;
  }
}

/// Holds the first sensor report inside the diagnosis library until released, and records
/// how many reports ever ran at once. Shared with the hook, so a late report stays safe.
struct StuckReport
{
  std::promise<void> first_entered;
  std::promise<void> release;
  std::shared_future<void> released{release.get_future().share()};
  std::atomic<bool> let_go{false};
  std::atomic<int> inside{0};
  std::atomic<int> most_inside{0};
  std::atomic<int> entries{0};

  void letGo()
  {
    if (!let_go.exchange(true)) {
      release.set_value();
    }
  }
};

TEST_F(RunningNode, BumperArcsFlowWhileAnUltrasonicReportIsStuck)
{
  startNode("bumper_parallel");
  auto laser3 = listen("ultrasonic_laser3");
  auto bumper = listen("bumper_laser");

  auto stuck = std::make_shared<StuckReport>();
  Diagnosis::getInstance().setSensorReportHookForTesting(
    [stuck](const std::string &) {
      const int now_inside = ++stuck->inside;
      int most = stuck->most_inside.load();
      while (now_inside > most && !stuck->most_inside.compare_exchange_weak(most, now_inside)) {
      }
      if (++stuck->entries == 1) {
        stuck->first_entered.set_value();
        stuck->released.wait_for(std::chrono::seconds(60));
      }
      --stuck->inside;
    });
  struct Cleanup
  {
    std::shared_ptr<StuckReport> stuck;
    ~Cleanup()
    {
      stuck->letGo();
      Diagnosis::getInstance().setSensorReportHookForTesting({});
    }
  } cleanup{stuck};

  publishReadings({100, 100, 100});
  ASSERT_EQ(
    stuck->first_entered.get_future().wait_for(std::chrono::seconds(30)),
    std::future_status::ready);

  // The ultrasonic callback is stuck in its first report; the bumper pipeline carries on.
  publishBumper(true);
  const bool bumper_served = bumper->waitForCount(1);
  // A second reading must wait for the first instead of entering the callback beside it.
  publishReadings({200, 200, 200});
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const int entries_while_stuck = stuck->entries;
  stuck->letGo();

  EXPECT_TRUE(bumper_served) << "the bumper callback waited for the ultrasonic callback";
  EXPECT_EQ(entries_while_stuck, 1);
  // Both readings are handled in full, one after the other.
  ASSERT_TRUE(laser3->waitForCount(2));
  EXPECT_EQ(stuck->entries, 6);
  EXPECT_EQ(stuck->most_inside, 1);
}

}  // namespace
