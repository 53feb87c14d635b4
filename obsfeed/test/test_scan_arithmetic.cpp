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

// The scan arithmetic without a node, bit for bit: the costmap that consumes the scans was
// tuned against exactly these values, so every row pins what one configuration publishes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "obsfeed/bumper_scan.hpp"
#include "obsfeed/ultrasonic_scan.hpp"

namespace
{

using costmap_input::UltrasonicGeometry;

std::uint32_t bitsOf(float value)
{
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// The declared defaults of the two mounting directions.
constexpr UltrasonicGeometry kHor{0.01, 0.2, 0.873, 1.047, 2.0};
constexpr UltrasonicGeometry kVer{0.01, 0.4, 1.744, 0.611, 2.0};

constexpr std::uint32_t kHorAngle = 0x3E5F7CEE;   // 0.21825 rad
constexpr std::uint32_t kVerAngle = 0x3EDF3B64;   // 0.436 rad
constexpr std::uint32_t kHorFar = 0x40200E04;     // 2.5008554 m
constexpr std::uint32_t kVerFar = 0x40830D4D;     // 4.0953736 m
constexpr std::uint32_t kHor100mm = 0x3D4CDEBD;   // 0.0500171 m

UltrasonicGeometry horWith(double field_of_view, double safe_angle, double sample_ratio)
{
  return {0.01, 0.2, field_of_view, safe_angle, sample_ratio};
}

TEST(UltrasonicScan, EveryFieldOfEveryConfigurationBitForBit)
{
  const struct
  {
    const char * what;
    UltrasonicGeometry geometry;
    std::uint16_t raw;
    std::uint32_t angle_bits;
    std::size_t rays;
    std::uint32_t range_bits;
  } rows[] = {
    {"horizontal", kHor, 100, kHorAngle, 100, kHor100mm},
    {"horizontal at its maximum: still a measurement", kHor, 200, kHorAngle, 100, 0x3DCCDEBD},
    {"horizontal just beyond: far", kHor, 201, kHorAngle, 100, kHorFar},
    {"horizontal saw nothing: far", kHor, 0xFFFF, kHorAngle, 100, kHorFar},
    {"below the minimum: published as it is", kHor, 0, kHorAngle, 100, 0},
    {"vertical", kVer, 100, kVerAngle, 200, 0x3DA7BF1B},
    {"vertical at its maximum", kVer, 400, kVerAngle, 200, 0x3EA7BF1B},
    {"vertical just beyond: far", kVer, 401, kVerAngle, 200, kVerFar},
    {"vertical saw nothing: far", kVer, 0xFFFF, kVerAngle, 200, kVerFar},
    {"ratio 0 means 2", horWith(0.873, 1.047, 0.0), 100, kHorAngle, 100, kHor100mm},
    {"negative ratio means 2", horWith(0.873, 1.047, -1.0), 100, kHorAngle, 100, kHor100mm},
    {"ratio 1 keeps the whole opening", horWith(0.873, 1.047, 1.0), 100, bitsOf(0.4365f), 200,
      kHor100mm},
    {"every value overridden; safe angle 0 keeps the distance whole",
      {0.02, 0.5, 0.5, 0.0, 1.0}, 300, bitsOf(0.25f), 115, bitsOf(0.3f)},
    {"no opening: no rays", horWith(0.0, 1.047, 2.0), 100, 0, 0, 0},
    {"infinite ratio: no rays", horWith(0.873, 1.047, kInf), 100, 0, 0, 0},
  };
  for (const auto & row : rows) {
    SCOPED_TRACE(row.what);
    sensor_msgs::msg::LaserScan scan;
    scan.intensities = {1.0f};  // a reused message: nothing of the last scan may stay
    scan.ranges.assign(500, 7.0f);
    costmap_input::fillUltrasonicScan(row.geometry, row.raw, scan);
    EXPECT_EQ(bitsOf(scan.angle_max), row.angle_bits);
    EXPECT_EQ(bitsOf(-scan.angle_min), row.angle_bits);
    EXPECT_EQ(bitsOf(scan.angle_increment), 0x3B8EFA35u);
    EXPECT_EQ(bitsOf(scan.time_increment), 0x3817760Bu);
    EXPECT_EQ(bitsOf(scan.scan_time), 0x3D851EC0u);
    EXPECT_EQ(bitsOf(scan.range_min), bitsOf(static_cast<float>(row.geometry.range_min)));
    EXPECT_EQ(bitsOf(scan.range_max), bitsOf(static_cast<float>(row.geometry.range_max)));
    EXPECT_TRUE(scan.intensities.empty());
    ASSERT_EQ(scan.ranges.size(), row.rays);
    for (float range : scan.ranges) {
      ASSERT_EQ(bitsOf(range), row.range_bits) << range;
    }
  }
}

// +Inf (and, for a silent sensor, NaN) replaces only the ranges: the fan a costmap clears is the
// fan of the sensor's returns.
TEST(UltrasonicScan, InfinityReplacesOnlyReadingsWithoutAReturnAndNaNEveryRay)
{
  using costmap_input::NoReturnAs;
  constexpr std::uint32_t kInfBits = 0x7F800000;
  UltrasonicGeometry far_limit = kHor;
  far_limit.range_max = 70.0;  // beyond every reading: only 0xFFFF, "no echo", is no return
  const struct
  {
    const char * what;
    UltrasonicGeometry geometry;
    std::uint16_t raw;
    std::uint32_t range_bits;
  } rows[] = {
    {"horizontal return", kHor, 100, kHor100mm},
    {"horizontal at its maximum: still a return", kHor, 200, 0x3DCCDEBD},
    {"horizontal just beyond", kHor, 201, kInfBits},
    {"horizontal saw nothing", kHor, 0xFFFF, kInfBits},
    {"below the minimum: as it is", kHor, 0, 0},
    {"vertical at its maximum", kVer, 400, 0x3EA7BF1B},
    {"vertical just beyond", kVer, 401, kInfBits},
    // 32.778212 m
    {"a limit beyond every reading still measures", far_limit, 0xFFFE, 0x42031CE3},
    {"but no echo stays no echo", far_limit, 0xFFFF, kInfBits},
  };
  for (const auto & row : rows) {
    SCOPED_TRACE(row.what);
    sensor_msgs::msg::LaserScan far, inf, stale;
    costmap_input::fillUltrasonicScan(row.geometry, row.raw, far);
    costmap_input::fillUltrasonicScan(row.geometry, row.raw, inf, NoReturnAs::kInfinity);
    stale.ranges.assign(500, 7.0f);
    stale.intensities = {1.0f};
    costmap_input::fillStaleUltrasonicScan(row.geometry, stale);
    ASSERT_EQ(inf.ranges.size(), far.ranges.size());
    ASSERT_EQ(stale.ranges.size(), far.ranges.size());
    for (std::size_t i = 0; i < far.ranges.size(); ++i) {
      ASSERT_EQ(bitsOf(inf.ranges[i]), row.range_bits) << i;
      ASSERT_EQ(bitsOf(stale.ranges[i]), 0x7FC00000u) << i;  // the quiet NaN
    }
    // Every other field as in the scan with a finite far range.
    inf.ranges = stale.ranges = far.ranges;
    EXPECT_EQ(inf, far);
    EXPECT_EQ(stale, far);
  }
}

TEST(UltrasonicScan, OnlyVerInAnyLetterCaseMeansAVerticalMount)
{
  for (const std::string vertical : {"ver", "VER", "Ver", "vER"}) {
    EXPECT_TRUE(costmap_input::isVerticalMount(vertical)) << vertical;
  }
  for (const std::string horizontal : {"hor", "vertical", "V", "ve", "", " ver", "ver "}) {
    EXPECT_FALSE(costmap_input::isVerticalMount(horizontal)) << horizontal;
  }
}

TEST(UltrasonicScan, SensorNumbersKeepTheirPlainDigits)
{
  using costmap_input::ultrasonicFrameId;
  using costmap_input::ultrasonicSensorId;
  using costmap_input::ultrasonicTopic;
  EXPECT_EQ(ultrasonicTopic(1), "ultrasonic_laser1");
  EXPECT_EQ(ultrasonicFrameId(1), "ultrasonic_01_link");
  EXPECT_EQ(ultrasonicSensorId(1), "/quorvex_ultrasonic/original_ultrasonic_1");
  EXPECT_EQ(ultrasonicTopic(10), "ultrasonic_laser10");
  EXPECT_EQ(ultrasonicFrameId(10), "ultrasonic_010_link");
  EXPECT_EQ(ultrasonicSensorId(1000), "/quorvex_ultrasonic/original_ultrasonic_1000");
  EXPECT_EQ(ultrasonicFrameId(1000), "ultrasonic_01000_link");
}

TEST(UltrasonicScan, GeometryFaultsNameTheParameterAndItsValue)
{
  using costmap_input::ultrasonicGeometryFault;
  const struct
  {
    double field_of_view, safe_angle, sample_ratio;
    std::vector<std::string> words;  // empty: usable
  } rows[] = {
    {0.873, 1.047, 2.0, {}},
    {0.0, 0.0, 2.0, {}},
    {1.744, 0.611, 0.0, {}},
    {1.744, 0.611, -1.0, {}},
    {1.744, 0.611, kInf, {}},
    // A whole turn with ratio 0.1 is 14400 rays: large, but within the bound.
    {2 * M_PI, 0.0, 0.1, {}},
    {2 * M_PI, 0.0, 0.01, {"p.field_of_view", "p.sample_ratio", "65536"}},
    {1.744, 0.611, 1e-6, {"p.sample_ratio", "1e-06", "65536"}},
    {-1e-9, 0.0, 2.0, {"p.field_of_view", "-1e-09"}},
    {kNan, 0.0, 2.0, {"p.field_of_view", "nan"}},
    {kInf, 0.0, 2.0, {"p.field_of_view", "inf"}},
    {0.873, -kInf, 2.0, {"p.safe_angle", "-inf"}},
    {0.873, kNan, 2.0, {"p.safe_angle", "nan"}},
    {0.873, 1.047, kNan, {"p.sample_ratio", "nan"}},
  };
  for (const auto & row : rows) {
    const auto fault = ultrasonicGeometryFault(
      "p.", row.field_of_view, row.safe_angle,
      row.sample_ratio);
    SCOPED_TRACE(
      std::to_string(row.field_of_view) + ", " + std::to_string(row.safe_angle) + ", " +
      std::to_string(row.sample_ratio) + ": " + fault.value_or("usable"));
    ASSERT_EQ(fault.has_value(), !row.words.empty());
    for (const auto & word : row.words) {
      EXPECT_NE(fault->find(word), std::string::npos) << word;
    }
  }
}

TEST(UltrasonicScan, AnyFiniteRangeLimitIsUsable)
{
  using costmap_input::ultrasonicRangeLimitFault;
  for (const double usable : {0.2, 0.0, -1.0, 1e300}) {
    EXPECT_FALSE(ultrasonicRangeLimitFault("p.range_max", usable)) << usable;
  }
  for (const double unusable : {kNan, kInf, -kInf}) {
    const auto fault = ultrasonicRangeLimitFault("p.range_max", unusable);
    ASSERT_TRUE(fault) << unusable;
    EXPECT_NE(fault->find("'p.range_max'"), std::string::npos) << *fault;
  }
}

TEST(BumperScan, EveryRangeLiesInItsSectorOverManyArcs)
{
  std::mt19937 generator(std::random_device{}());
  float lowest_side = 1.0f;
  float highest_centre = 0.0f;
  for (int arc = 0; arc < 2000; ++arc) {
    sensor_msgs::msg::LaserScan scan;
    costmap_input::fillBumperScan(generator, scan);
    ASSERT_EQ(bitsOf(scan.angle_min), bitsOf(-0.6283185482025146f));
    ASSERT_EQ(bitsOf(scan.angle_max), bitsOf(0.6283185482025146f));
    ASSERT_EQ(bitsOf(scan.angle_increment), bitsOf(0.008726646192371845f));
    ASSERT_EQ(scan.time_increment, 0.0f);
    ASSERT_EQ(scan.scan_time, 0.0f);
    ASSERT_EQ(scan.range_min, 0.0f);
    ASSERT_EQ(scan.range_max, 1.0f);
    ASSERT_EQ(scan.intensities, std::vector<float>(144, 0.0f));
    ASSERT_EQ(scan.ranges.size(), 144u);
    for (std::size_t beam = 0; beam < 144; ++beam) {
      // Each range is the single-precision value of a draw from its sector's [near, far).
      const bool side = beam < 15 || beam >= 129;
      const float range = scan.ranges[beam];
      ASSERT_GE(range, static_cast<float>(side ? 0.52 : 0.53)) << "beam " << beam;
      ASSERT_LT(static_cast<double>(range), side ? 0.57 : 0.63) << "beam " << beam;
    }
    lowest_side = std::min({lowest_side, scan.ranges[0], scan.ranges[143]});
    highest_centre = std::max(highest_centre, scan.ranges[70]);
  }
  // The draws spread over the sectors rather than sitting at one end.
  EXPECT_LT(lowest_side, 0.53f);
  EXPECT_GT(highest_centre, 0.62f);
}

TEST(BumperScan, StampLiesTenMillisecondsBackButNeverBeforeTheEpoch)
{
  const std::int64_t rows[][2] = {
    {0, 0}, {5'000'000, 0}, {10'000'000, 0}, {10'000'001, 1}, {5'000'000'000, 4'990'000'000},
    {1'700'000'000'123'456'789, 1'700'000'000'113'456'789},
  };
  for (const auto & [node_time, stamp] : rows) {
    EXPECT_EQ(costmap_input::bumperStampNanoseconds(node_time), stamp) << node_time;
  }
}

}  // namespace
