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

// Cost of building the synthetic scans, the work each callback does per message besides
// publishing and reporting, and what counting a message for /diagnostics adds to it.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "obsfeed/bumper_scan.hpp"
#include "obsfeed/input_diagnostics.hpp"
#include "obsfeed/ultrasonic_scan.hpp"

namespace
{

void UltrasonicScanPerReading(benchmark::State & state, costmap_input::UltrasonicGeometry geometry)
{
  sensor_msgs::msg::LaserScan scan;
  std::uint16_t raw = 0;
  for (auto _ : state) {
    costmap_input::fillUltrasonicScan(geometry, raw, scan);
    benchmark::DoNotOptimize(scan.ranges.data());
    raw = static_cast<std::uint16_t>(raw + 37);
  }
}
BENCHMARK_CAPTURE(
  UltrasonicScanPerReading, horizontal_100_rays,
  costmap_input::UltrasonicGeometry{0.01, 0.2, 0.873, 1.047, 2.0});
BENCHMARK_CAPTURE(
  UltrasonicScanPerReading, vertical_200_rays,
  costmap_input::UltrasonicGeometry{0.01, 0.4, 1.744, 0.611, 2.0});

// One readings array of three horizontal sensors, without and with the node's diagnostics hook
// (its clock read included), so one run shows what the hook costs per array.
void UltrasonicArray(benchmark::State & state, bool with_diagnostics)
{
  using costmap_input::InputDiagnostics;
  const costmap_input::UltrasonicGeometry geometry{0.01, 0.2, 0.873, 1.047, 2.0};
  InputDiagnostics diagnostics(
    "costmap_input", {"ultrasonic_01_link", "ultrasonic_02_link", "ultrasonic_03_link"},
    std::chrono::seconds(1), InputDiagnostics::Clock::now());
  const std::vector<std::uint16_t> data{100, 0xFFFF, 200};
  sensor_msgs::msg::LaserScan scan;
  for (auto _ : state) {
    if (with_diagnostics) {
      diagnostics.recordReadings(data, InputDiagnostics::Clock::now());
    }
    for (const std::uint16_t raw : data) {
      costmap_input::fillUltrasonicScan(geometry, raw, scan);
      benchmark::DoNotOptimize(scan.ranges.data());
    }
  }
}
BENCHMARK_CAPTURE(UltrasonicArray, three_sensors_without_diagnostics, false);
BENCHMARK_CAPTURE(UltrasonicArray, three_sensors_with_diagnostics, true);

// Once a second: the statuses of 32 sensors and the bumper, every value formatted.
void DiagnosticStatusesOf32Sensors(benchmark::State & state)
{
  using costmap_input::InputDiagnostics;
  std::vector<std::string> frame_ids;
  for (int n = 1; n <= 32; ++n) {
    frame_ids.push_back("ultrasonic_0" + std::to_string(n) + "_link");
  }
  auto now = InputDiagnostics::Clock::now();
  InputDiagnostics diagnostics("costmap_input", frame_ids, std::chrono::seconds(1), now);
  const std::vector<std::uint16_t> data(32, 150);
  for (auto _ : state) {
    now += std::chrono::milliseconds(100);
    diagnostics.recordReadings(data, now);
    diagnostics.recordBumper(false, now);
    benchmark::DoNotOptimize(diagnostics.statuses(now));
  }
}
BENCHMARK(DiagnosticStatusesOf32Sensors);

// As the node builds it: a new message, a fresh random device and generator per contact.
void BumperScanPerContact(benchmark::State & state)
{
  for (auto _ : state) {
    sensor_msgs::msg::LaserScan scan;
    std::random_device random_device;
    std::mt19937 generator(random_device());
    costmap_input::fillBumperScan(generator, scan);
    benchmark::DoNotOptimize(scan.ranges.data());
  }
}
BENCHMARK(BumperScanPerContact);

// The arc alone, with the generator already seeded.
void BumperArcOnly(benchmark::State & state)
{
  std::mt19937 generator(42);
  sensor_msgs::msg::LaserScan scan;
  for (auto _ : state) {
    costmap_input::fillBumperScan(generator, scan);
    benchmark::DoNotOptimize(scan.ranges.data());
  }
}
BENCHMARK(BumperArcOnly);

}  // namespace

BENCHMARK_MAIN();
