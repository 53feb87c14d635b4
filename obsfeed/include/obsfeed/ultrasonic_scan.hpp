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

#ifndef OBSFEED__ULTRASONIC_SCAN_HPP_
#define OBSFEED__ULTRASONIC_SCAN_HPP_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "sensor_msgs/msg/laser_scan.hpp"

// The arithmetic that turns one ultrasonic reading into a synthetic laser scan, kept free of
// any node so that it can be checked bit for bit and benchmarked on its own. Every single- and
// double-precision step is deliberate: the costmap that consumes the scans was tuned against
// exactly these values.

namespace costmap_input
{

/// Geometry of one mounting direction, as configured by the "ultrasonic." parameters.
struct UltrasonicGeometry
{
  double range_min;      // m
  double range_max;      // m; readings beyond it become a far reading
  double field_of_view;  // rad, full opening angle of the sensor's cone
  double safe_angle;     // rad; its cosine shortens every published distance
  double sample_ratio;   // divides the half opening; <= 0 means 2.0
};

/// Reported to the diagnosis service but never published: the sensor asked to be skipped.
constexpr std::uint16_t kReadingWithoutScan = 0xEEEE;
/// Published (as a far reading) but not reported: the sensor saw nothing at all.
constexpr std::uint16_t kReadingWithoutReport = 0xFFFF;
/// Distance published for every reading beyond the direction's maximum range, in mm.
constexpr double kFarReadingMillimetres = 5000.0;
/// Upper bound on rays per scan that a configuration may ask for. The defaults give 100 and
/// 200; 65536 rays still cover 45 full turns at a quarter degree, so only a broken
/// configuration reaches it, and it keeps every scan below 256 KiB.
constexpr std::size_t kMaxUltrasonicRays = 65536;

/// The fixed timing and resolution fields, by their exact single-precision bit patterns.
float ultrasonicAngleIncrement();  // 0x3B8EFA35, pi/720
float ultrasonicTimeIncrement();   // 0x3817760B
float ultrasonicScanTime();        // 0x3D851EC0

/// True for a "ver" entry in any letter case; every other entry is a horizontal sensor.
bool isVerticalMount(const std::string & device_pose_entry);

/// Names for sensor number @p n (counting from 1).
std::string ultrasonicTopic(std::size_t n);     // "ultrasonic_laser" + n
std::string ultrasonicFrameId(std::size_t n);   // "ultrasonic_0" + n + "_link"
std::string ultrasonicSensorId(std::size_t n);  // "/quorvex_ultrasonic/original_ultrasonic_" + n

/// The angular fan of a scan; ray_count is the rounded count before conversion to an integer.
struct UltrasonicFan
{
  float angle_min;
  float angle_max;
  float ray_count;
};
UltrasonicFan ultrasonicFan(double field_of_view, double sample_ratio);

/// How a reading that gives no return (beyond the direction's range limit, or 0xFFFF) is
/// published.
enum class NoReturnAs
{
  /// 5000 mm shortened by the cosine of the safe angle: a finite range beyond range_max, which
  /// a costmap drops without clearing anything.
  kFarRange,
  /// +Inf, "no object within range": a costmap that accepts it clears the whole fan. 0xFFFF,
  /// the sensor's own "no echo", is +Inf whatever the range limit.
  kInfinity,
};

/// The distance published for @p raw millimetres, in metres.
float ultrasonicRange(
  std::uint16_t raw, float range_max, double safe_angle,
  NoReturnAs no_return = NoReturnAs::kFarRange);

/// Fills every field of @p scan except the header from one reading. The geometry must have
/// passed ultrasonicGeometryFault.
void fillUltrasonicScan(
  const UltrasonicGeometry & geometry, std::uint16_t raw, sensor_msgs::msg::LaserScan & scan,
  NoReturnAs no_return = NoReturnAs::kFarRange);

/// The scan of a sensor that has no usable reading to give: the fan of fillUltrasonicScan with
/// NaN, "erroneous reading", on every ray. It retires whatever the sensor's last scan still
/// marks or clears in a costmap that keeps re-applying it, and marks and clears nothing itself.
void fillStaleUltrasonicScan(
  const UltrasonicGeometry & geometry, sensor_msgs::msg::LaserScan & scan);

/// Why @p value cannot be the range limit @p name (a full parameter name); empty when it can.
/// Any finite number of metres will do: limits are not checked against each other.
std::optional<std::string> ultrasonicRangeLimitFault(const std::string & name, double value);

/// Why a direction's start-up geometry cannot produce sane scans, naming the parameter and its
/// value; empty when it can. @p prefix is the parameter prefix, e.g. "ultrasonic.hor_".
std::optional<std::string> ultrasonicGeometryFault(
  const std::string & prefix, double field_of_view, double safe_angle, double sample_ratio);

}  // namespace costmap_input

#endif  // OBSFEED__ULTRASONIC_SCAN_HPP_
