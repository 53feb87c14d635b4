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

#include "obsfeed/ultrasonic_scan.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace costmap_input
{

namespace
{

float floatFromBits(std::uint32_t bits)
{
  float value;
  static_assert(sizeof(value) == sizeof(bits));
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

double effectiveSampleRatio(double sample_ratio)
{
  // A ratio that is zero or negative would flip or blow up the fan: fall back to halving it.
  return sample_ratio <= 0.0 ? 2.0 : sample_ratio;
}

/// Every field but the header and the ranges' value.
void fillUltrasonicFan(
  const UltrasonicGeometry & geometry, float range, sensor_msgs::msg::LaserScan & scan)
{
  const UltrasonicFan fan = ultrasonicFan(geometry.field_of_view, geometry.sample_ratio);

  scan.angle_min = fan.angle_min;
  scan.angle_max = fan.angle_max;
  scan.angle_increment = ultrasonicAngleIncrement();
  scan.time_increment = ultrasonicTimeIncrement();
  scan.scan_time = ultrasonicScanTime();
  scan.range_min = static_cast<float>(geometry.range_min);
  scan.range_max = static_cast<float>(geometry.range_max);
  scan.ranges.assign(static_cast<std::size_t>(fan.ray_count), range);
  scan.intensities.clear();
}

}  // namespace

float ultrasonicAngleIncrement() {return floatFromBits(0x3B8EFA35u);}
float ultrasonicTimeIncrement() {return floatFromBits(0x3817760Bu);}
float ultrasonicScanTime() {return floatFromBits(0x3D851EC0u);}

bool isVerticalMount(const std::string & device_pose_entry)
{
  std::string lowered = device_pose_entry;
  std::transform(
    lowered.begin(), lowered.end(), lowered.begin(),
    [](unsigned char c) {return static_cast<char>(std::tolower(c));});
  return lowered == "ver";
}

std::string ultrasonicTopic(std::size_t n) {return "ultrasonic_laser" + std::to_string(n);}
std::string ultrasonicFrameId(std::size_t n) {return "ultrasonic_0" + std::to_string(n) + "_link";}
std::string ultrasonicSensorId(std::size_t n)
{
  return "/quorvex_ultrasonic/original_ultrasonic_" + std::to_string(n);
}

UltrasonicFan ultrasonicFan(double field_of_view, double sample_ratio)
{
  const double ratio = effectiveSampleRatio(sample_ratio);
  const float half_opening = static_cast<float>(field_of_view * 0.5);
  UltrasonicFan fan;
  fan.angle_min = static_cast<float>(static_cast<double>(-half_opening) / ratio);
  fan.angle_max = static_cast<float>(static_cast<double>(half_opening) / ratio);
  fan.ray_count = std::roundf((fan.angle_max - fan.angle_min) / ultrasonicAngleIncrement());
  return fan;
}

float ultrasonicRange(
  std::uint16_t raw, float range_max, double safe_angle, NoReturnAs no_return)
{
  // A reading exactly at the maximum range still counts as a measurement.
  const bool beyond = static_cast<float>(raw) > range_max * 1000.0f;
  if (no_return == NoReturnAs::kInfinity && (beyond || raw == kReadingWithoutReport)) {
    return std::numeric_limits<float>::infinity();
  }
  const double millimetres = beyond ? kFarReadingMillimetres : raw;
  return static_cast<float>((std::cos(safe_angle) * millimetres) / 1000.0);
}

void fillUltrasonicScan(
  const UltrasonicGeometry & geometry, std::uint16_t raw, sensor_msgs::msg::LaserScan & scan,
  NoReturnAs no_return)
{
  fillUltrasonicFan(
    geometry,
    ultrasonicRange(raw, static_cast<float>(geometry.range_max), geometry.safe_angle, no_return),
    scan);
}

void fillStaleUltrasonicScan(
  const UltrasonicGeometry & geometry, sensor_msgs::msg::LaserScan & scan)
{
  fillUltrasonicFan(geometry, std::numeric_limits<float>::quiet_NaN(), scan);
}

std::optional<std::string> ultrasonicRangeLimitFault(const std::string & name, double value)
{
  if (std::isfinite(value)) {
    return std::nullopt;
  }
  return fmt::format("parameter '{}' must be a finite number of metres, not {}", name, value);
}

std::optional<std::string> ultrasonicGeometryFault(
  const std::string & prefix, double field_of_view, double safe_angle, double sample_ratio)
{
  if (!(field_of_view >= 0.0)) {
    return fmt::format(
      "parameter '{}field_of_view' has invalid value {}: the opening angle must be a "
      "non-negative number of radians", prefix, field_of_view);
  }
  if (!std::isfinite(safe_angle)) {
    return fmt::format(
      "parameter '{}safe_angle' has invalid value {}: the safe angle must be a finite number "
      "of radians", prefix, safe_angle);
  }
  if (std::isnan(sample_ratio)) {
    return fmt::format(
      "parameter '{}sample_ratio' has invalid value {}: the sample ratio must be a number",
      prefix, sample_ratio);
  }
  const UltrasonicFan fan = ultrasonicFan(field_of_view, sample_ratio);
  if (!(fan.ray_count <= static_cast<float>(kMaxUltrasonicRays))) {
    return fmt::format(
      "parameters '{0}field_of_view' = {1} and '{0}sample_ratio' = {2} give {3} rays per scan, "
      "more than the {4} allowed", prefix, field_of_view, sample_ratio, fan.ray_count,
      kMaxUltrasonicRays);
  }
  return std::nullopt;
}

}  // namespace costmap_input
