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

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "support/node_harness.hpp"

namespace
{

using obsfeed_test::bitsOf;
using obsfeed_test::RunningNode;
using obsfeed_test::ScanLog;
using rclcpp::Parameter;

constexpr std::uint32_t kHor250mmWithin300 = 0x3E000B36;  // 0.1250428 m
constexpr std::uint32_t kHorFar = 0x40200E04;             // 2.5008554 m
constexpr std::uint32_t kVerFar = 0x40830D4D;             // 4.0953736 m

class RangeLimits : public RunningNode
{
protected:
  void SetUp() override
  {
    RunningNode::SetUp();
    startNode("limits_hor_ver");
    hor_ = listen("ultrasonic_laser1");
    ver_ = listen("ultrasonic_laser2");
  }

  /// The scans of one reading: {horizontal, vertical}.
  std::pair<sensor_msgs::msg::LaserScan, sensor_msgs::msg::LaserScan> scansOf(
    std::uint16_t hor_raw, std::uint16_t ver_raw)
  {
    publishReadingsAndWait({hor_raw, ver_raw}, {hor_, ver_});
    return {hor_->last(), ver_->last()};
  }

  std::shared_ptr<ScanLog> hor_;
  std::shared_ptr<ScanLog> ver_;
};

TEST_F(RangeLimits, ABadEntryRefusesTheWholeCall)
{
  const std::vector<std::vector<Parameter>> refused{
    {Parameter("ultrasonic.hor_range_max", 0.3), Parameter("ultrasonic.ver_range_min", "near")},
    {Parameter("ultrasonic.hor_range_max", 0.3), Parameter("ultrasonic.ver_range_max", 1)},
    {Parameter("ultrasonic.hor_range_max", 0.3),
      Parameter("ultrasonic.hor_range_min", std::nan(""))},
    {Parameter("ultrasonic.hor_range_max", std::numeric_limits<double>::infinity())},
    {Parameter("ultrasonic.hor_range_max", 0.3), Parameter("ultrasonic.use_inf", 1)},
  };
  // The bad entry comes last; the reason names it.
  for (const auto & call : refused) {
    const auto result = node_->dynamicParametersCallback(call);
    EXPECT_FALSE(result.successful) << call.back().get_name();
    EXPECT_NE(result.reason.find(call.back().get_name()), std::string::npos) << result.reason;
  }
  // Nothing of the refused calls was stored.
  const auto [hor, ver] = scansOf(250, 100);
  EXPECT_EQ(bitsOf(hor.range_max), bitsOf(0.2f));
  EXPECT_EQ(bitsOf(hor.range_min), bitsOf(0.01f));
  EXPECT_EQ(bitsOf(hor.ranges.at(0)), kHorFar);
  EXPECT_EQ(bitsOf(ver.range_min), bitsOf(0.01f));
  EXPECT_EQ(bitsOf(ver.range_max), bitsOf(0.4f));
}

// Several limits at once, as a parameter file loaded at run time sets them, and not checked
// against each other: a minimum above the maximum, a negative one, a maximum of zero.
TEST_F(RangeLimits, LimitsSetOnTheRunningNodeTakeEffectUnchecked)
{
  const auto results = node_->set_parameters(
    {
      Parameter("ultrasonic.hor_range_min", 0.5), Parameter("ultrasonic.hor_range_max", 0.3),
      Parameter("ultrasonic.ver_range_min", -1.0), Parameter("ultrasonic.ver_range_max", 0.0)});
  for (const auto & each : results) {
    EXPECT_TRUE(each.successful) << each.reason;
  }
  EXPECT_EQ(node_->get_parameter("ultrasonic.hor_range_max").as_double(), 0.3);
  const auto [hor, ver] = scansOf(250, 1);
  EXPECT_EQ(bitsOf(hor.ranges.at(0)), kHor250mmWithin300);
  EXPECT_EQ(bitsOf(hor.range_min), bitsOf(0.5f));
  EXPECT_EQ(bitsOf(hor.range_max), bitsOf(0.3f));
  EXPECT_EQ(bitsOf(ver.range_min), bitsOf(-1.0f));
  EXPECT_EQ(ver.range_max, 0.0f);
  // A maximum of zero makes every non-zero reading a far one.
  EXPECT_EQ(bitsOf(ver.ranges.at(0)), kVerFar);
}

// Both ways at run time, for either mount: only a reading without a return changes.
TEST_F(RangeLimits, UseInfSetAtRunTimePublishesEveryReadingWithoutAReturnAsInfinity)
{
  const auto every_ray = [](const sensor_msgs::msg::LaserScan & scan, std::uint32_t bits) {
      return !scan.ranges.empty() && std::all_of(
        scan.ranges.begin(), scan.ranges.end(), [bits](float r) {return bitsOf(r) == bits;});
    };
  constexpr std::uint32_t kInf = 0x7F800000;
  ASSERT_TRUE(node_->set_parameter(Parameter("ultrasonic.use_inf", true)).successful);
  auto [hor, ver] = scansOf(201, 0xFFFF);
  EXPECT_TRUE(every_ray(hor, kInf));
  EXPECT_TRUE(every_ray(ver, kInf));
  std::tie(hor, ver) = scansOf(200, 400);
  EXPECT_TRUE(every_ray(hor, 0x3DCCDEBD));
  EXPECT_TRUE(every_ray(ver, 0x3EA7BF1B));

  ASSERT_TRUE(node_->set_parameter(Parameter("ultrasonic.use_inf", false)).successful);
  std::tie(hor, ver) = scansOf(201, 0xFFFF);
  EXPECT_TRUE(every_ray(hor, kHorFar));
  EXPECT_TRUE(every_ray(ver, kVerFar));
}

TEST_F(RangeLimits, SettingStartUpGeometryOnTheRunningNodeIsRefused)
{
  for (const auto & parameter : {
      Parameter("ultrasonic.hor_field_of_view", 0.5), Parameter("ultrasonic.hor_safe_angle", 0.5),
      Parameter("ultrasonic.hor_sample_ratio", 1.0), Parameter("ultrasonic.ver_field_of_view", 0.5),
      Parameter("ultrasonic.ver_safe_angle", 0.5), Parameter("ultrasonic.ver_sample_ratio", 1.0),
      Parameter("ultrasonic.stale_timeout", 5.0),
      Parameter("ultrasonic.device_pose", std::vector<std::string>{"ver"})})
  {
    const auto old_value = node_->get_parameter(parameter.get_name()).get_parameter_value();
    const auto result = node_->set_parameter(parameter);
    EXPECT_FALSE(result.successful) << parameter.get_name();
    EXPECT_EQ(
      result.reason,
      "parameter '" + parameter.get_name() + "' cannot be set because it is read-only");
    EXPECT_EQ(node_->get_parameter(parameter.get_name()).get_parameter_value(), old_value);
  }
  // A wrong type is refused too, and stores nothing.
  EXPECT_FALSE(node_->set_parameter(Parameter("ultrasonic.hor_range_max", "far")).successful);
  EXPECT_FALSE(
    node_->set_parameter(Parameter("ultrasonic.hor_range_max", std::nan(""))).successful);
  // Parameters outside the pipeline are not its business.
  EXPECT_TRUE(node_->set_parameter(Parameter("debug", true)).successful);

  const auto [hor, ver] = scansOf(250, 100);
  EXPECT_EQ(hor.ranges.size(), 100u);
  EXPECT_EQ(ver.ranges.size(), 200u);
  EXPECT_EQ(bitsOf(hor.range_max), bitsOf(0.2f));
}

TEST_F(RangeLimits, ConcurrentChangesNeverTearAPairOfLimits)
{
  const std::pair<double, double> pairs[] = {{0.01, 0.2}, {0.05, 0.3}};
  std::atomic<bool> stop{false};
  std::thread changer([&] {
      for (std::size_t i = 0; !stop; ++i) {
        const auto & pair = pairs[i % 2];
        node_->dynamicParametersCallback(
        {
          Parameter("ultrasonic.hor_range_min", pair.first),
          Parameter("ultrasonic.hor_range_max", pair.second)});
      }
    });
  std::set<std::pair<std::uint32_t, std::uint32_t>> seen;
  for (int reading = 0; reading < 300; ++reading) {
    const auto hor = scansOf(250, 100).first;
    seen.insert({bitsOf(hor.range_min), bitsOf(hor.range_max)});
    // The distance follows the maximum of the same pair.
    EXPECT_EQ(
      bitsOf(hor.ranges.at(0)), hor.range_max == 0.3f ? kHor250mmWithin300 : kHorFar);
  }
  stop = true;
  changer.join();
  const std::set<std::pair<std::uint32_t, std::uint32_t>> whole_pairs{
    {bitsOf(0.01f), bitsOf(0.2f)}, {bitsOf(0.05f), bitsOf(0.3f)}};
  for (const auto & pair : seen) {
    EXPECT_EQ(whole_pairs.count(pair), 1u) << pair.first << " / " << pair.second;
  }
}

}  // namespace
