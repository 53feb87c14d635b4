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

#ifndef OBSFEED_BENCHMARKS__SCAN_PEER_HPP_
#define OBSFEED_BENCHMARKS__SCAN_PEER_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "dds/dds.h"

namespace obsfeed_benchmarks
{

/// The driver's side of the wire: sends readings arrays and bumper contacts, and receives the
/// scans that answer them, as a plain Cyclone DDS application with idlc-generated types does.
///
/// Every endpoint is reliable and keeps all samples, so the driver itself never drops
/// anything: a reading that goes unanswered was dropped by whoever answers.
class ScanPeer
{
public:
  /// Receives one scan: `topic` is the sensor index (0 for "ultrasonic_laser1") or
  /// bumper_topic() for "bumper_laser"; `reading` the tag its range carries (0 for bumper scans).
  using ScanHandler = std::function<void (size_t topic, uint16_t reading)>;

  /// Endpoints for `sensors` ultrasonic sensors and the bumper on `participant`.
  ScanPeer(dds_entity_t participant, size_t sensors);
  ~ScanPeer();

  ScanPeer(const ScanPeer &) = delete;
  ScanPeer & operator=(const ScanPeer &) = delete;

  size_t sensors() const {return scan_readers_.size() - 1;}
  size_t bumper_topic() const {return sensors();}

  /// Whether every writer and reader has matched the answering process's, within `timeout`.
  bool wait_until_matched(std::chrono::milliseconds timeout) const;

  /// The same reading for every sensor.
  void send_readings(uint16_t reading);
  void send_bumper_contact();

  /// Waits up to `timeout` for scans and passes each to `on_scan`, in arrival order per topic.
  /// False when none arrived.
  bool receive(std::chrono::nanoseconds timeout, const ScanHandler & on_scan);

private:
  dds_entity_t readings_writer_;
  dds_entity_t bumper_writer_;
  // Sensor readers first, the bumper reader last.
  std::vector<dds_entity_t> scan_readers_;
  dds_entity_t waitset_;
  std::vector<uint16_t> readings_;
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__SCAN_PEER_HPP_
