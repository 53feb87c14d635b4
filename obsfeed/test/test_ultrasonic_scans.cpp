// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex_lumidra_diagnosis/diagnosis.hpp"
#include "support/node_harness.hpp"

namespace
{

using obsfeed_test::bitsOf;
using obsfeed_test::nanosecondsOf;
using obsfeed_test::RunningNode;
using obsfeed_test::reportCount;

// What the default geometry publishes, by bit pattern (every configuration: test_scan_arithmetic).
constexpr std::uint32_t kHor100mm = 0x3D4CDEBD;   // 0.0500171 m
constexpr std::uint32_t kHor200mm = 0x3DCCDEBD;   // 0.1000342 m
constexpr std::uint32_t kHorFar = 0x40200E04;     // 2.5008554 m
constexpr std::uint32_t kVerFar = 0x40830D4D;     // 4.0953736 m

void expectRanges(const sensor_msgs::msg::LaserScan & scan, std::size_t rays, std::uint32_t range_bits)
{
  ASSERT_EQ(scan.ranges.size(), rays);
  for (float range : scan.ranges) {
    ASSERT_EQ(bitsOf(range), range_bits) << range;
  }
}

// device_pose picks each sensor's geometry and range limits, and numbers its topic and frame.
TEST_F(RunningNode, EachSensorPublishesWithTheGeometryOfItsMount)
{
  startNode("scans_hor_ver");
  auto hor = listen("ultrasonic_laser1");
  auto ver = listen("ultrasonic_laser2");
  publishReadingsAndWait({200, 401}, {hor, ver});
  EXPECT_EQ(hor->last().header.frame_id, "ultrasonic_01_link");
  EXPECT_EQ(ver->last().header.frame_id, "ultrasonic_02_link");
  EXPECT_EQ(bitsOf(hor->last().range_max), bitsOf(0.2f));
  EXPECT_EQ(bitsOf(ver->last().range_max), bitsOf(0.4f));
  EXPECT_EQ(bitsOf(ver->last().angle_max), 0x3EDF3B64u);
  expectRanges(hor->last(), 100, kHor200mm);
  expectRanges(ver->last(), 200, kVerFar);
}

// 0xFFFF is published but not reported, 0xEEEE reported but not published; the report and the
// scan of one reading each read the system clock.
TEST_F(RunningNode, SpecialReadingsSkipTheReportOrTheScanAndEachStepReadsTheClock)
{
  startNode("scans_defaults");
  auto laser1 = listen("ultrasonic_laser1");
  auto laser2 = listen("ultrasonic_laser2");
  auto laser3 = listen("ultrasonic_laser3");
  const std::size_t before[] = {reportCount(1), reportCount(2), reportCount(3)};
  // Hold the first report for a few milliseconds: a scan stamped from its own clock reading
  // must then lie at least that far after the report.
  Diagnosis::getInstance().setSensorReportHookForTesting(
    [](const std::string & sensor_id) {
      if (sensor_id == costmap_input::ultrasonicSensorId(1)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  const auto from = std::chrono::system_clock::now().time_since_epoch();
  publishReadingsAndWait({100, 0xFFFF, 0xEEEE}, {laser1, laser2});
  const auto to = std::chrono::system_clock::now().time_since_epoch();
  Diagnosis::getInstance().setSensorReportHookForTesting({});
  expectRanges(laser1->last(), 100, kHor100mm);
  expectRanges(laser2->last(), 100, kHorFar);

  const auto record1 = Diagnosis::getInstance().sensorRecord(costmap_input::ultrasonicSensorId(1));
  ASSERT_TRUE(record1.has_value());
  EXPECT_EQ(record1->last_reporter, "costmap_input_node");
  EXPECT_EQ(record1->last_header.frame_id, "");
  const std::int64_t report1 = nanosecondsOf(record1->last_header.stamp);
  const std::int64_t scan1 = nanosecondsOf(laser1->last().header.stamp);
  const std::int64_t scan2 = nanosecondsOf(laser2->last().header.stamp);
  EXPECT_LE(std::chrono::duration_cast<std::chrono::nanoseconds>(from).count(), report1);
  EXPECT_GE(scan1 - report1, 20'000'000);
  EXPECT_LE(scan1, scan2);
  EXPECT_LE(scan2, std::chrono::duration_cast<std::chrono::nanoseconds>(to).count());

  // The next reading is the first that sensor 3 publishes. Its scan also marks the end of the
  // first message's work (sensor 3 is reported after sensor 2 has published).
  publishReadingsAndWait({100, 100, 200}, {laser1, laser2, laser3});
  EXPECT_EQ(laser3->count(), 1u);
  expectRanges(laser3->last(), 100, kHor200mm);
  EXPECT_EQ(reportCount(1), before[0] + 2);
  EXPECT_EQ(reportCount(2), before[1] + 1);
  EXPECT_EQ(reportCount(3), before[2] + 2);
}

}  // namespace
