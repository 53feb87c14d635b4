// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <regex>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex_lumidra_diagnosis/diagnosis.hpp"
#include "support/node_harness.hpp"
#include "support/stdout_capture.hpp"

namespace
{

using obsfeed_test::bitsOf;
using obsfeed_test::nanosecondsOf;
using obsfeed_test::NodeTest;
using obsfeed_test::reportCount;
using obsfeed_test::ScanLog;

// Published ranges as the robot's costmap was tuned against them, by bit pattern.
constexpr std::uint32_t kHor100mm = 0x3D4CDEBD;   // 0.0500171 m
constexpr std::uint32_t kHor200mm = 0x3DCCDEBD;   // 0.1000342 m
constexpr std::uint32_t kHorFar = 0x40200E04;     // 2.5008554 m
constexpr std::uint32_t kVer100mm = 0x3DA7BF1B;   // 0.0819075 m
constexpr std::uint32_t kVer400mm = 0x3EA7BF1B;   // 0.3276299 m
constexpr std::uint32_t kVerFar = 0x40830D4D;     // 4.0953736 m
constexpr std::uint32_t kHorAngle = 0x3E5F7CEE;   // 0.21825 rad
constexpr std::uint32_t kVerAngle = 0x3EDF3B64;   // 0.436 rad

void expectFixedFields(const sensor_msgs::msg::LaserScan & scan)
{
  EXPECT_EQ(bitsOf(scan.angle_increment), 0x3B8EFA35u);
  EXPECT_EQ(bitsOf(scan.time_increment), 0x3817760Bu);
  EXPECT_EQ(bitsOf(scan.scan_time), 0x3D851EC0u);
  EXPECT_EQ(bitsOf(scan.range_min), bitsOf(0.01f));
  EXPECT_TRUE(scan.intensities.empty());
}

void expectFan(
  const sensor_msgs::msg::LaserScan & scan, std::uint32_t angle_bits, std::size_t rays,
  std::uint32_t range_bits)
{
  EXPECT_EQ(bitsOf(scan.angle_max), angle_bits);
  EXPECT_EQ(bitsOf(-scan.angle_min), angle_bits);
  ASSERT_EQ(scan.ranges.size(), rays);
  for (float range : scan.ranges) {
    ASSERT_EQ(bitsOf(range), range_bits) << range;
  }
}

TEST_F(NodeTest, WorkedValuesArriveOnTheTopicsBitForBit)
{
  startNode("scans_hor_ver");
  auto hor = listen("ultrasonic_laser1");
  auto ver = listen("ultrasonic_laser2");
  const struct {
    std::uint16_t hor_raw, ver_raw;
    std::uint32_t hor_range, ver_range;
  } readings[] = {
    {100, 100, kHor100mm, kVer100mm}, {200, 400, kHor200mm, kVer400mm},
    {201, 401, kHorFar, kVerFar}, {0xFFFF, 0xFFFF, kHorFar, kVerFar},
  };
  for (const auto & reading : readings) {
    SCOPED_TRACE(reading.hor_raw);
    publishReadingsAndWait({reading.hor_raw, reading.ver_raw}, {hor, ver});
    expectFixedFields(hor->last());
    expectFixedFields(ver->last());
    EXPECT_EQ(hor->last().header.frame_id, "ultrasonic_01_link");
    EXPECT_EQ(ver->last().header.frame_id, "ultrasonic_02_link");
    EXPECT_EQ(bitsOf(hor->last().range_max), bitsOf(0.2f));
    EXPECT_EQ(bitsOf(ver->last().range_max), bitsOf(0.4f));
    expectFan(hor->last(), kHorAngle, 100, reading.hor_range);
    expectFan(ver->last(), kVerAngle, 200, reading.ver_range);
  }
}

TEST_F(NodeTest, SpecialReadingsSkipTheReportOrTheScan)
{
  startNode("scans_defaults");
  auto laser1 = listen("ultrasonic_laser1");
  auto laser2 = listen("ultrasonic_laser2");
  auto laser3 = listen("ultrasonic_laser3");
  const std::size_t before[] = {reportCount(1), reportCount(2), reportCount(3)};

  publishReadingsAndWait({100, 0xFFFF, 0xEEEE}, {laser1, laser2});
  expectFan(laser1->last(), kHorAngle, 100, kHor100mm);
  expectFan(laser2->last(), kHorAngle, 100, kHorFar);

  // The next reading is the first that sensor 3 publishes. Its scan also marks the end of the
  // first message's work (sensor 3 is reported after sensor 2 has published).
  publishReadingsAndWait({100, 100, 200}, {laser1, laser2, laser3});
  EXPECT_EQ(laser3->count(), 1u);
  expectFan(laser3->last(), kHorAngle, 100, kHor200mm);
  EXPECT_EQ(reportCount(1), before[0] + 2);
  EXPECT_EQ(reportCount(2), before[1] + 1);   // 0xFFFF: scanned, not reported
  EXPECT_EQ(reportCount(3), before[2] + 2);   // 0xEEEE: reported, not scanned
}

TEST_F(NodeTest, ReadingsOfTheWrongLengthAreDroppedWithOneErrorLine)
{
  startNode("scans_defaults");
  auto laser1 = listen("ultrasonic_laser1");
  const std::size_t reports = reportCount(1);
  obsfeed_test::StdoutCapture capture;

  publishReadings({100, 100});
  ASSERT_TRUE(capture.waitFor([](const auto & lines) {
      for (const auto & line : lines) {
        if (line.find("input data not match") != std::string::npos) {return true;}
      }
      return false;
    }));
  publishReadings({});
  ASSERT_TRUE(capture.waitFor([&](const auto &) {
      return capture.linesContaining("input data not match").size() >= 2;
    }));
  // The node serves the next good reading, and it is the first scan it sends.
  publishReadingsAndWait({200, 200, 200}, {laser1});
  EXPECT_EQ(laser1->count(), 1u);
  EXPECT_EQ(reportCount(1), reports + 1);

  const auto errors = capture.linesContaining("input data not match");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_TRUE(std::regex_match(errors[0], std::regex(R"([ 0-9]{3} \[ERROR\] input data not match)")))
    << errors[0];
}

TEST_F(NodeTest, OnlyVerInAnyCaseMeansVertical)
{
  startNode("scans_letter_case");
  std::vector<std::shared_ptr<ScanLog>> lasers;
  for (int n = 1; n <= 5; ++n) {
    lasers.push_back(listen("ultrasonic_laser" + std::to_string(n)));
  }
  publishReadingsAndWait({100, 100, 100, 100, 100}, lasers);
  expectFan(lasers[0]->last(), kVerAngle, 200, kVer100mm);  // VER
  expectFan(lasers[1]->last(), kVerAngle, 200, kVer100mm);  // Ver
  expectFan(lasers[2]->last(), kHorAngle, 100, kHor100mm);  // vertical
  expectFan(lasers[3]->last(), kHorAngle, 100, kHor100mm);  // V
  expectFan(lasers[4]->last(), kHorAngle, 100, kHor100mm);  // hor
}

class SampleRatio : public NodeTest
{
protected:
  sensor_msgs::msg::LaserScan scanOf100mmWith(const std::string & node_name)
  {
    startNode(node_name);
    auto laser1 = listen("ultrasonic_laser1");
    publishReadingsAndWait({100}, {laser1});
    return laser1->last();
  }
};

TEST_F(SampleRatio, ZeroMeansTwo)
{
  expectFan(scanOf100mmWith("scans_ratio_zero"), kHorAngle, 100, kHor100mm);
}

TEST_F(SampleRatio, NegativeMeansTwo)
{
  expectFan(scanOf100mmWith("scans_ratio_negative"), kHorAngle, 100, kHor100mm);
}

TEST_F(SampleRatio, OneKeepsTheWholeOpening)
{
  expectFan(scanOf100mmWith("scans_ratio_one"), bitsOf(0.4365f), 200, kHor100mm);
}

TEST_F(NodeTest, ReadingsBelowTheMinimumArePublished)
{
  startNode("scans_defaults");
  auto laser1 = listen("ultrasonic_laser1");
  publishReadingsAndWait({0, 5, 9}, {laser1});
  expectFan(laser1->last(), kHorAngle, 100, bitsOf(0.0f));
}

TEST_F(NodeTest, ReportAndScanEachReadTheSystemClock)
{
  startNode("scans_defaults");
  auto laser1 = listen("ultrasonic_laser1");
  auto laser2 = listen("ultrasonic_laser2");
  // Hold the first report for a few milliseconds: a scan stamped from its own clock reading
  // must then lie at least that far after the report.
  Diagnosis::getInstance().setSensorReportHookForTesting(
    [](const std::string & sensor_id) {
      if (sensor_id == costmap_input::ultrasonicSensorId(1)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  const auto before = std::chrono::system_clock::now();
  publishReadingsAndWait({100, 0xFFFF, 0xEEEE}, {laser1, laser2});
  const auto after = std::chrono::system_clock::now();
  Diagnosis::getInstance().setSensorReportHookForTesting({});

  const auto record1 = Diagnosis::getInstance().sensorRecord(costmap_input::ultrasonicSensorId(1));
  ASSERT_TRUE(record1.has_value());
  EXPECT_EQ(record1->last_reporter, "costmap_input_node");
  EXPECT_EQ(record1->last_header.frame_id, "");

  const std::int64_t report1 = nanosecondsOf(record1->last_header.stamp);
  const std::int64_t scan1 = nanosecondsOf(laser1->last().header.stamp);
  const std::int64_t scan2 = nanosecondsOf(laser2->last().header.stamp);
  const std::int64_t from = std::chrono::duration_cast<std::chrono::nanoseconds>(
    before.time_since_epoch()).count();
  const std::int64_t to = std::chrono::duration_cast<std::chrono::nanoseconds>(
    after.time_since_epoch()).count();
  EXPECT_LE(from, report1);
  EXPECT_GE(scan1 - report1, 20'000'000);
  EXPECT_LE(scan1, scan2);
  EXPECT_LE(scan2, to);
}

}  // namespace
