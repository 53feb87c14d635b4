// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "quorvex_lumidra_diagnosis/diagnosis.hpp"
#include "support/node_harness.hpp"

namespace
{

using obsfeed_test::NodeTest;

std::size_t calibrationReports()
{
  return Diagnosis::getInstance().calibrationReportCount();
}

/// The same reading on the default geometry gives the same first scan, whoever built the node.
void expectDefaultScanFor100mm(const sensor_msgs::msg::LaserScan & scan)
{
  EXPECT_EQ(scan.header.frame_id, "ultrasonic_01_link");
  EXPECT_EQ(scan.ranges.size(), 100u);
  EXPECT_EQ(obsfeed_test::bitsOf(scan.ranges.at(0)), obsfeed_test::bitsOf(0.0500171073f));
}

TEST_F(NodeTest, DebugTrueChangesOnlyTheParameter)
{
  const std::size_t calibrations = calibrationReports();
  auto node = startNode("core_debug_true");
  EXPECT_TRUE(node->get_parameter("debug").as_bool());
  EXPECT_EQ(calibrationReports(), calibrations + 1);

  auto laser1 = listen("ultrasonic_laser1");
  auto bumper = listen("bumper_laser");
  publishReadingsAndWait({100, 100, 100}, {laser1});
  expectDefaultScanFor100mm(laser1->last());
  publishBumper(true);
  ASSERT_TRUE(bumper->waitForCount(1));
}

TEST_F(NodeTest, DebugDefaultsToFalse)
{
  auto node = startNode("core_defaults");
  EXPECT_EQ(node->get_parameter("debug").get_type(), rclcpp::ParameterType::PARAMETER_BOOL);
  EXPECT_FALSE(node->get_parameter("debug").as_bool());
}

TEST_F(NodeTest, NonBooleanDebugEndsConstructionWithoutAReport)
{
  const std::size_t calibrations = calibrationReports();
  for (const std::string name : {"core_debug_integer", "core_debug_string", "core_debug_double"}) {
    try {
      startNode(name);
      ADD_FAILURE() << name << " was built";
    } catch (const rclcpp::exceptions::InvalidParameterTypeException & error) {
      EXPECT_NE(std::string(error.what()).find("debug"), std::string::npos) << error.what();
    }
    EXPECT_EQ(node_, nullptr);
  }
  EXPECT_EQ(calibrationReports(), calibrations);
}

TEST_F(NodeTest, CalibrationIsReportedOnceAndOnlyByACompleteNode)
{
  const std::size_t calibrations = calibrationReports();
  startNode("core_once");
  EXPECT_EQ(calibrationReports(), calibrations + 1);

  // A failure while the ultrasonic pipeline is set up (before the bumper pipeline and the
  // report) must not report a calibration.
  EXPECT_THROW(startNode("core_bad_device_pose"), rclcpp::exceptions::InvalidParameterTypeException);
  EXPECT_THROW(startNode("core_bad_geometry"), rclcpp::exceptions::InvalidParameterValueException);
  EXPECT_EQ(calibrationReports(), calibrations + 1);
}

TEST_F(NodeTest, ANodeBuiltUnderAnotherNameWorksTheSame)
{
  auto node = startNode("obstacle_feed_rear");
  EXPECT_EQ(std::string(node->get_name()), "obstacle_feed_rear");
  EXPECT_EQ(std::string(node->get_namespace()), "/");

  auto laser1 = listen("ultrasonic_laser1");
  auto bumper = listen("bumper_laser");
  publishReadingsAndWait({100, 100, 100}, {laser1});
  expectDefaultScanFor100mm(laser1->last());
  publishBumper(true);
  ASSERT_TRUE(bumper->waitForCount(1));
  EXPECT_EQ(bumper->last().header.frame_id, "base_footprint");
}

class EffectiveLevel : public ::testing::Test
{
protected:
  void TearDown() override {unsetenv("SPDLOG_LEVEL");}
};

TEST_F(EffectiveLevel, ReadsTheLevelNameInAnyCaseAtEveryCall)
{
  auto node = std::make_shared<costmap_input::CostmapInput>("core_level_query");
  unsetenv("SPDLOG_LEVEL");
  EXPECT_EQ(node->GetSpdlogEffectiveLevel(), 2);
  const std::map<std::string, int> expected{
    {"trace", 0}, {"debug", 1}, {"info", 2}, {"warning", 3}, {"error", 4}, {"critical", 5},
    {"off", 6}, {"WARNING", 3}, {"Warning", 3}, {"Error", 4}, {"OFF", 6}, {"CriTical", 5},
    // Names the query does not know fall back to info.
    {"warn", 2}, {"err", 2}, {"", 2}, {" info", 2}, {"verbose", 2}};
  for (const auto & [value, level] : expected) {
    setenv("SPDLOG_LEVEL", value.c_str(), 1);
    EXPECT_EQ(node->GetSpdlogEffectiveLevel(), level) << "SPDLOG_LEVEL='" << value << "'";
  }
}

}  // namespace
