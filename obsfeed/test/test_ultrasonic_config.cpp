// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex_lumidra_diagnosis/diagnosis.hpp"
#include "support/node_harness.hpp"

namespace
{

using obsfeed_test::bitsOf;
using obsfeed_test::NodeTest;
using obsfeed_test::reportCount;

TEST_F(NodeTest, DefaultsServeThreeHorizontalSensors)
{
  auto node = startNode("config_defaults");
  EXPECT_EQ(
    node->get_parameter("ultrasonic.device_pose").as_string_array(),
    (std::vector<std::string>{"hor", "hor", "hor"}));
  const std::vector<std::pair<std::string, double>> defaults{
    {"ultrasonic.hor_range_min", 0.01}, {"ultrasonic.hor_range_max", 0.2},
    {"ultrasonic.hor_field_of_view", 0.873}, {"ultrasonic.hor_safe_angle", 1.047},
    {"ultrasonic.hor_sample_ratio", 2.0}, {"ultrasonic.ver_range_min", 0.01},
    {"ultrasonic.ver_range_max", 0.4}, {"ultrasonic.ver_field_of_view", 1.744},
    {"ultrasonic.ver_safe_angle", 0.611}, {"ultrasonic.ver_sample_ratio", 2.0}};
  for (const auto & [name, value] : defaults) {
    EXPECT_EQ(node->get_parameter(name).as_double(), value) << name;
  }

  auto laser1 = listen("ultrasonic_laser1");
  auto laser2 = listen("ultrasonic_laser2");
  auto laser3 = listen("ultrasonic_laser3");
  auto laser4 = std::make_shared<obsfeed_test::ScanLog>(*probe_, "ultrasonic_laser4");
  EXPECT_EQ(laser4->publisherCount(), 0u);

  publishReadingsAndWait({100, 150, 200}, {laser1, laser2, laser3});
  for (const auto & log : {laser1, laser2, laser3}) {
    EXPECT_EQ(log->last().ranges.size(), 100u);
    EXPECT_EQ(bitsOf(log->last().range_max), bitsOf(0.2f));
  }
  EXPECT_EQ(laser3->last().header.frame_id, "ultrasonic_03_link");
}

TEST_F(NodeTest, DevicePoseNamesTheSensorsAndTheirDirection)
{
  startNode("config_ver_hor");
  auto laser1 = listen("ultrasonic_laser1");
  auto laser2 = listen("ultrasonic_laser2");
  publishReadingsAndWait({100, 100}, {laser1, laser2});
  // "VER" is vertical whatever its case; "hor" is horizontal.
  EXPECT_EQ(laser1->last().ranges.size(), 200u);
  EXPECT_EQ(bitsOf(laser1->last().range_max), bitsOf(0.4f));
  EXPECT_EQ(laser2->last().ranges.size(), 100u);
  EXPECT_EQ(bitsOf(laser2->last().range_max), bitsOf(0.2f));
}

TEST_F(NodeTest, TenSensorsKeepTheirPlainNumbersAndUnknownKeysAreIgnored)
{
  auto node = startNode("config_ten");
  EXPECT_FALSE(node->has_parameter("not_a_parameter"));
  EXPECT_FALSE(node->has_parameter("ultrasonic.hor_range_maximum"));
  std::vector<std::shared_ptr<obsfeed_test::ScanLog>> lasers;
  for (int n = 1; n <= 10; ++n) {
    lasers.push_back(listen("ultrasonic_laser" + std::to_string(n)));
  }
  const std::size_t reports10 = reportCount(10);
  publishReadingsAndWait({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}, lasers);
  EXPECT_EQ(lasers[9]->last().header.frame_id, "ultrasonic_010_link");
  EXPECT_EQ(lasers[9]->last().ranges.size(), 200u);
  EXPECT_EQ(lasers[0]->last().header.frame_id, "ultrasonic_01_link");
  EXPECT_EQ(reportCount(10), reports10 + 1);
  const auto record = Diagnosis::getInstance().sensorRecord("/quorvex_ultrasonic/original_ultrasonic_10");
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->last_reporter, "costmap_input_node");
}

// A huge sensor list is served like a short one (5000 sensors start in about a second).
TEST_F(NodeTest, AThousandSensorsAreServedLikeThree)
{
  startNode("config_thousand");
  auto last = listen("ultrasonic_laser1000");
  publishReadingsAndWait(std::vector<std::uint16_t>(1000, 100), {last});
  EXPECT_EQ(last->last().header.frame_id, "ultrasonic_01000_link");
  EXPECT_EQ(last->last().ranges.size(), 100u);
}

TEST_F(NodeTest, ParameterFileOverridesEveryGeometryValue)
{
  startNode("config_overrides");
  auto laser1 = listen("ultrasonic_laser1");
  publishReadingsAndWait({300}, {laser1});
  const auto scan = laser1->last();
  // Opening 0.5 rad with ratio 1: +-0.25 rad, 115 rays; safe angle 0 keeps the distance whole.
  EXPECT_EQ(bitsOf(scan.angle_max), bitsOf(0.25f));
  EXPECT_EQ(bitsOf(scan.angle_min), bitsOf(-0.25f));
  EXPECT_EQ(scan.ranges.size(), 115u);
  EXPECT_EQ(bitsOf(scan.range_min), bitsOf(0.02f));
  EXPECT_EQ(bitsOf(scan.range_max), bitsOf(0.5f));
  EXPECT_EQ(bitsOf(scan.ranges.at(0)), bitsOf(0.3f));
}

TEST_F(NodeTest, AZeroOpeningGivesEmptyScans)
{
  startNode("config_no_opening");
  auto laser1 = listen("ultrasonic_laser1");
  publishReadingsAndWait({100}, {laser1});
  EXPECT_TRUE(laser1->last().ranges.empty());
  EXPECT_EQ(laser1->last().angle_min, 0.0f);
}

TEST_F(NodeTest, WrongTypedOverridesEndConstruction)
{
  for (const std::string name :
    {"config_wrong_range_type", "config_integer_for_double", "config_scalar_device_pose"})
  {
    EXPECT_THROW(startNode(name), rclcpp::exceptions::InvalidParameterTypeException) << name;
  }
}

TEST_F(NodeTest, UnusableGeometryEndsConstructionNamingTheParameter)
{
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
    {"config_negative_fov", {"ultrasonic.hor_field_of_view", "-0.5"}},
    {"config_nan_fov", {"ultrasonic.ver_field_of_view", "nan"}},
    {"config_nan_ratio", {"ultrasonic.hor_sample_ratio", "nan"}},
    {"config_tiny_ratio", {"ultrasonic.ver_sample_ratio", "1e-06", "65536"}},
    {"config_infinite_fov", {"ultrasonic.hor_field_of_view", "inf"}},
    {"config_nan_safe_angle", {"ultrasonic.hor_safe_angle", "nan"}},
    {"config_nan_range_max", {"ultrasonic.ver_range_max", "nan"}},
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

TEST(UltrasonicGeometry, AcceptsEveryConfigurationThatGivesASaneScan)
{
  using costmap_input::ultrasonicGeometryFault;
  EXPECT_FALSE(ultrasonicGeometryFault("p.", 0.873, 1.047, 2.0));
  EXPECT_FALSE(ultrasonicGeometryFault("p.", 0.0, 0.0, 2.0));
  // Zero, negative and infinite ratios are usable: the first two mean 2.0, the last a point.
  EXPECT_FALSE(ultrasonicGeometryFault("p.", 1.744, 0.611, 0.0));
  EXPECT_FALSE(ultrasonicGeometryFault("p.", 1.744, 0.611, -1.0));
  EXPECT_FALSE(ultrasonicGeometryFault("p.", 1.744, 0.611, INFINITY));
  // A whole turn with ratio 0.1 is 14400 rays: large, but within the bound.
  EXPECT_FALSE(ultrasonicGeometryFault("p.", 2 * M_PI, 0.0, 0.1));
  EXPECT_TRUE(ultrasonicGeometryFault("p.", 2 * M_PI, 0.0, 0.01));
  EXPECT_TRUE(ultrasonicGeometryFault("p.", -1e-9, 0.0, 2.0));
  EXPECT_TRUE(ultrasonicGeometryFault("p.", 0.873, -INFINITY, 2.0));
}

}  // namespace
