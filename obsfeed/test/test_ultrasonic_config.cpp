// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex_lumidra_diagnosis/diagnosis.hpp"
#include "support/node_harness.hpp"

namespace
{

using obsfeed_test::bitsOf;
using obsfeed_test::RunningNode;
using obsfeed_test::reportCount;

// The shipped parameter file is where a robot's own file starts from: it must hold every
// declared parameter with its declared default, and no key the node would silently ignore.
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
  const auto record = Diagnosis::getInstance().sensorRecord(costmap_input::ultrasonicSensorId(1000));
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->last_reporter, "costmap_input_node");
}

TEST_F(RunningNode, ParameterFileOverridesEveryGeometryValue)
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
    float angle, range_min, range_max;
    std::size_t rays;
  } expected[] = {{hor->last(), 0.25f, 0.02f, 0.5f, 115}, {ver->last(), 0.125f, 0.03f, 0.6f, 57}};
  for (const auto & each : expected) {
    SCOPED_TRACE(each.scan.header.frame_id);
    EXPECT_EQ(bitsOf(each.scan.angle_max), bitsOf(each.angle));
    EXPECT_EQ(bitsOf(each.scan.angle_min), bitsOf(-each.angle));
    EXPECT_EQ(each.scan.ranges.size(), each.rays);
    EXPECT_EQ(bitsOf(each.scan.range_min), bitsOf(each.range_min));
    EXPECT_EQ(bitsOf(each.scan.range_max), bitsOf(each.range_max));
    EXPECT_EQ(bitsOf(each.scan.ranges.at(0)), bitsOf(0.3f));
  }
}

TEST_F(RunningNode, WrongTypedOverridesEndConstruction)
{
  for (const std::string name :
    {"config_wrong_range_type", "config_integer_for_double", "config_scalar_device_pose"})
  {
    EXPECT_THROW(startNode(name), rclcpp::exceptions::InvalidParameterTypeException) << name;
  }
}

TEST_F(RunningNode, UnusableGeometryEndsConstructionNamingTheParameter)
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

}  // namespace
