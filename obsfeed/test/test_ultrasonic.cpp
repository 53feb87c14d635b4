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

// The ultrasonic pipeline of a node spinning in this process: what each mount publishes, what
// it reports, and what the parameter file can set.

#include <gtest/gtest.h>

#include <algorithm>
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

void expectRanges(
  const sensor_msgs::msg::LaserScan & scan, std::size_t rays,
  std::uint32_t range_bits)
{
  ASSERT_EQ(scan.ranges.size(), rays);
  for (float range : scan.ranges) {
    ASSERT_EQ(bitsOf(range), range_bits) << range;
  }
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

bool isStaleScan(const sensor_msgs::msg::LaserScan & scan)
{
  return !scan.ranges.empty() && std::all_of(
    scan.ranges.begin(), scan.ranges.end(), [](float range) {return std::isnan(range);});
}

/// On one topic: every NaN scan comes more than @p timeout after the scan before it, never right
/// after another NaN scan, and in the sensor's frame and fan; returns how many there are.
std::size_t checkStaleScans(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, std::chrono::nanoseconds timeout)
{
  std::size_t stale = 0;
  for (std::size_t i = 0; i < scans.size(); ++i) {
    if (!isStaleScan(scans[i])) {
      continue;
    }
    ++stale;
    EXPECT_EQ(scans[i].ranges.size(), 100u);
    EXPECT_EQ(bitsOf(scans[i].range_max), bitsOf(0.2f));
    if (i > 0) {
      EXPECT_FALSE(isStaleScan(scans[i - 1])) << "a second NaN scan in a row, scan " << i;
      EXPECT_GT(
        nanosecondsOf(scans[i].header.stamp) - nanosecondsOf(scans[i - 1].header.stamp),
        timeout.count()) << "a NaN scan too early, scan " << i;
    }
  }
  return stale;
}

// With use_inf, a sensor without a usable reading (one that never sent, one that reads 0xEEEE,
// one whose readings stop coming) gets one NaN scan once it has been silent for the timeout,
// and another only after it has been heard again. Without use_inf nothing goes out.
TEST_F(RunningNode, ASilentSensorGetsOneNaNScanOnlyWithUseInf)
{
  constexpr std::chrono::milliseconds kTimeout{250};  // the file's stale_timeout
  auto node = startNode("stale_sensors");
  std::vector<std::shared_ptr<obsfeed_test::ScanLog>> lasers{
    listen("ultrasonic_laser1"), listen("ultrasonic_laser2"), listen("ultrasonic_laser3")};
  const auto counts = [&lasers] {
      std::vector<std::size_t> each;
      for (const auto & laser : lasers) {
        each.push_back(laser->count());
      }
      return each;
    };
  // The driver never sent anything, but use_inf is off.
  std::this_thread::sleep_for(3 * kTimeout);
  EXPECT_EQ(counts(), std::vector<std::size_t>(3, 0));

  // Switched on, every sensor is stale already.
  ASSERT_TRUE(node->set_parameter(rclcpp::Parameter("ultrasonic.use_inf", true)).successful);
  for (const auto & laser : lasers) {
    ASSERT_TRUE(laser->waitForCount(1));
    EXPECT_TRUE(isStaleScan(laser->last()));
  }
  EXPECT_EQ(lasers[1]->last().header.frame_id, "ultrasonic_02_link");

  // Sensor 2 is heard once and then only reads 0xEEEE; the others go on reading.
  publishReadingsAndWait({100, 100, 0xFFFF}, lasers);
  while (lasers[1]->count() < 3) {
    publishReadingsAndWait({100, 0xEEEE, 0xFFFF}, {lasers[0], lasers[2]});
    std::this_thread::sleep_for(kTimeout / 10);
  }
  EXPECT_TRUE(isStaleScan(lasers[1]->last()));
  EXPECT_TRUE(std::isinf(lasers[2]->last().ranges.at(0)));

  // The readings stop: the other two go stale, each once (both in the same look of the timer,
  // so both counts are taken before either NaN scan can arrive).
  const auto stopped = counts();
  ASSERT_TRUE(lasers[0]->waitForCount(stopped[0] + 1));
  ASSERT_TRUE(lasers[2]->waitForCount(stopped[2] + 1));
  const auto settled = counts();
  std::this_thread::sleep_for(3 * kTimeout);
  EXPECT_EQ(counts(), settled);
  std::size_t stale[3];
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE("sensor " + std::to_string(i + 1));
    EXPECT_TRUE(isStaleScan(lasers[i]->last()));
    stale[i] = checkStaleScans(lasers[i]->messages(), kTimeout);
  }
  EXPECT_EQ(stale[1], 2u);
  // Sensors 1 and 3 were never silent for the timeout while the readings came, unless this
  // machine stalled for that long.
  EXPECT_GE(stale[0], 2u);
  EXPECT_GE(stale[2], 2u);
}

// The shipped parameter file is where a robot's own file starts from: it must hold every
// declared parameter with its declared default, and no key the node would silently ignore. Each
// parameter tells `ros2 param describe` what it is.
TEST_F(RunningNode, ShippedParameterFileHoldsExactlyTheDeclaredDefaults)
{
  auto declared = startNode("config_defaults");
  rclcpp::NodeOptions options;
  options.use_global_arguments(false).arguments(
    {"--ros-args", "--params-file", OBSFEED_SHIPPED_PARAMS_FILE});
  auto shipped = std::make_shared<costmap_input::CostmapInput>(options);
  const auto in_file = shipped->get_node_parameters_interface()->get_parameter_overrides();
  // rclcpp's own parameters (use_sim_time, and Humble's qos_overrides of /parameter_events)
  // are not the node's.
  auto names = declared->list_parameters({}, 0).names;
  names.erase(
    std::remove_if(
      names.begin(), names.end(), [](const std::string & name) {
        return name == "use_sim_time" || name.rfind("qos_overrides.", 0) == 0;
      }), names.end());
  EXPECT_EQ(in_file.size(), names.size());
  for (const auto & name : names) {
    const auto entry = in_file.find(name);
    ASSERT_NE(entry, in_file.end()) << name << " is missing from the file";
    EXPECT_EQ(entry->second, declared->get_parameter(name).get_parameter_value()) << name;
    EXPECT_NE(declared->describe_parameter(name).description, "") << name;
  }
}

// A huge sensor list is served like a short one (5000 sensors start in about a second), and
// keys the node does not know are ignored, whatever they hold.
TEST_F(RunningNode, AThousandSensorsAreServedAndUnknownKeysIgnored)
{
  auto node = startNode("config_thousand");
  EXPECT_FALSE(node->has_parameter("not_a_parameter"));
  EXPECT_FALSE(node->has_parameter("ultrasonic.hor_range_maximum"));
  auto last = listen("ultrasonic_laser1000");
  const std::size_t reports = reportCount(1000);
  publishReadingsAndWait(std::vector<std::uint16_t>(1000, 100), {last});
  EXPECT_EQ(last->last().header.frame_id, "ultrasonic_01000_link");
  EXPECT_EQ(last->last().ranges.size(), 100u);
  EXPECT_EQ(reportCount(1000), reports + 1);
}

// device_pose picks each sensor's geometry and range limits, and numbers its topic and frame;
// the file overrides every value of both.
TEST_F(RunningNode, ParameterFileOverridesEveryGeometryValueOfEachMount)
{
  startNode("config_overrides");
  auto hor = listen("ultrasonic_laser1");
  auto ver = listen("ultrasonic_laser2");
  publishReadingsAndWait({300, 300}, {hor, ver});
  // Horizontal: opening 0.5 rad with ratio 1, +-0.25 rad in 115 rays; vertical: opening 1 rad
  // with ratio 4, +-0.125 rad in 57 rays. A safe angle of 0 keeps the distance whole.
  const struct
  {
    sensor_msgs::msg::LaserScan scan;
    std::string frame;
    float angle, range_min, range_max;
    std::size_t rays;
  } expected[] = {
    {hor->last(), "ultrasonic_01_link", 0.25f, 0.02f, 0.5f, 115},
    {ver->last(), "ultrasonic_02_link", 0.125f, 0.03f, 0.6f, 57}};
  for (const auto & each : expected) {
    SCOPED_TRACE(each.frame);
    EXPECT_EQ(each.scan.header.frame_id, each.frame);
    EXPECT_EQ(bitsOf(each.scan.angle_max), bitsOf(each.angle));
    EXPECT_EQ(bitsOf(each.scan.angle_min), bitsOf(-each.angle));
    EXPECT_EQ(each.scan.ranges.size(), each.rays);
    EXPECT_EQ(bitsOf(each.scan.range_min), bitsOf(each.range_min));
    EXPECT_EQ(bitsOf(each.scan.range_max), bitsOf(each.range_max));
    EXPECT_EQ(bitsOf(each.scan.ranges.at(0)), bitsOf(0.3f));
  }
}

// A wrong type anywhere ends construction before the bumper pipeline and the report: no node,
// no calibration reported.
TEST_F(RunningNode, WrongTypedOverridesEndConstructionWithoutAReport)
{
  const std::size_t calibrations = Diagnosis::getInstance().calibrationReportCount();
  for (const std::string name :
    {"config_debug_integer", "config_debug_string", "config_debug_double",
      "config_wrong_range_type", "config_integer_for_double", "config_scalar_device_pose"})
  {
    EXPECT_THROW(startNode(name), rclcpp::exceptions::InvalidParameterTypeException) << name;
  }
  EXPECT_EQ(node_, nullptr);
  EXPECT_EQ(Diagnosis::getInstance().calibrationReportCount(), calibrations);
}

// Out of range (a negative opening, an angle in degrees) rclcpp refuses; what a range cannot
// say (NaN and infinities pass its check, the ray count depends on two parameters) the node
// refuses, naming the value too.
TEST_F(RunningNode, UnusableGeometryEndsConstructionNamingTheParameter)
{
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
    {"config_negative_fov", {"ultrasonic.hor_field_of_view", "range"}},
    {"config_degrees_safe_angle", {"ultrasonic.ver_safe_angle", "range"}},
    {"config_nan_fov", {"ultrasonic.ver_field_of_view", "nan"}},
    {"config_nan_ratio", {"ultrasonic.hor_sample_ratio", "nan"}},
    {"config_tiny_ratio", {"ultrasonic.ver_sample_ratio", "1e-06", "65536"}},
    {"config_infinite_fov", {"ultrasonic.hor_field_of_view", "inf"}},
    {"config_nan_safe_angle", {"ultrasonic.hor_safe_angle", "nan"}},
    {"config_nan_range_max", {"ultrasonic.ver_range_max", "nan"}},
    {"config_nan_stale_timeout", {"ultrasonic.stale_timeout", "nan"}},
    {"config_zero_stale_timeout", {"ultrasonic.stale_timeout", "range"}},
  };
  const std::size_t calibrations = Diagnosis::getInstance().calibrationReportCount();
  for (const auto & [name, expected_words] : cases) {
    try {
      startNode(name);
      ADD_FAILURE() << name << " was built";
    } catch (const rclcpp::exceptions::InvalidParameterValueException & error) {
      for (const auto & word : expected_words) {
        EXPECT_NE(std::string(error.what()).find(word), std::string::npos)
          << name << ": " << error.what();
      }
    }
  }
  EXPECT_EQ(Diagnosis::getInstance().calibrationReportCount(), calibrations);
}

// What the system has always accepted, and a robot may mean, still starts: the ends of each
// range, a sample ratio of 0 or below (meaning 2), no opening at all, crossed range limits.
TEST_F(RunningNode, EdgeValuesStillStartTheNode)
{
  startNode("config_edge_values");
  auto hor = listen("ultrasonic_laser1");
  auto ver = listen("ultrasonic_laser2");
  publishReadingsAndWait({100, 100}, {hor, ver});
  EXPECT_EQ(hor->last().ranges.size(), 0u);
  // A full turn halved: +-pi/2 in 720 rays of a quarter degree.
  EXPECT_EQ(ver->last().ranges.size(), 720u);
}

}  // namespace
