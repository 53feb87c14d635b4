// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

// Cost of building the synthetic scans, the work each callback does per message besides
// publishing and reporting.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "obsfeed/bumper_scan.hpp"
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
