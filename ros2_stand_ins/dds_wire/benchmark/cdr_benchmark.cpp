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

// How long the serializer and the checked deserializer take for the scans this stack sends:
// a handful of ranges per ultrasonic sensor, and a large scan for scale.
#include <cstdint>
#include <vector>

#include "benchmark/benchmark.h"
#include "dds_wire/cdr_deserializer.hpp"
#include "dds_wire/cdr_serializer.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace
{

const rosidl_message_type_support_t * scan_type()
{
  return rosidl_typesupport_introspection_cpp::get_message_type_support_handle<
    sensor_msgs::msg::LaserScan>();
}

sensor_msgs::msg::LaserScan scan_with(int64_t ranges)
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.frame_id = "ultrasonic_laser1";
  scan.ranges.assign(static_cast<size_t>(ranges), 1.25f);
  return scan;
}

// As the transport serializes: with the topic's serializer, into a buffer kept from one sample
// to the next.
void serialize_scan(benchmark::State & state)
{
  const auto scan = scan_with(state.range(0));
  const dds_wire::CdrSerializer serializer(scan_type());
  std::vector<uint8_t> buffer;
  for (auto _ : state) {
    benchmark::DoNotOptimize(serializer.serialize_into(&scan, buffer));
  }
}

void deserialize_scan(benchmark::State & state)
{
  const auto scan = scan_with(state.range(0));
  const std::vector<uint8_t> bytes = dds_wire::CdrSerializer::serialize(&scan, scan_type());
  sensor_msgs::msg::LaserScan decoded;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
      dds_wire::CdrDeserializer::deserialize(bytes.data(), bytes.size(), &decoded, scan_type()));
  }
}

}  // namespace

BENCHMARK(serialize_scan)->Arg(9)->Arg(30000);
BENCHMARK(deserialize_scan)->Arg(9)->Arg(30000);
BENCHMARK_MAIN();
