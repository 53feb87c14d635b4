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

#ifndef QUORVEX_LUMIDRA_DIAGNOSIS__DIAGNOSIS_HPP_
#define QUORVEX_LUMIDRA_DIAGNOSIS__DIAGNOSIS_HPP_

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "std_msgs/msg/header.hpp"

/// The robot's diagnosis reporter: one instance per process, shared by every driver in it.
///
/// Drivers report their calibration status once when they come up and every sensor reading
/// as it arrives; the reporter remembers what it was told so that the robot's health view
/// (and tests) can ask for it. Construction has no side effects (no threads, no I/O), so
/// reaching the instance early is always safe. Every member function may be called from any
/// thread.
class Diagnosis
{
public:
  /// What the reporter knows about one sensor.
  struct SensorRecord
  {
    std::size_t report_count{0};
    std::string last_reporter;
    std_msgs::msg::Header last_header;
  };

  /// Called with the sensor id at the start of every SensorReportWithHeader, outside any lock.
  using SensorReportHook = std::function<void (const std::string & sensor_id)>;

  /// The process-wide instance, built on first use and destroyed at process exit.
  static Diagnosis & getInstance();

  ~Diagnosis();

  Diagnosis(const Diagnosis &) = delete;
  Diagnosis & operator=(const Diagnosis &) = delete;

  /// A driver announces that it has finished its calibration and is operational.
  void SensorCalibrationStatusReport();

  /// A driver reports one reading of sensor @p sensor_id, taken at @p header's stamp.
  void SensorReportWithHeader(
    const std::string & reporter, const std::string & sensor_id,
    const std_msgs::msg::Header & header);

  // Read-only queries of what has been reported so far in this process.

  std::size_t calibrationReportCount() const;
  std::size_t sensorReportCount(const std::string & sensor_id) const;
  /// Empty when @p sensor_id has never been reported.
  std::optional<SensorRecord> sensorRecord(const std::string & sensor_id) const;

  /// Test hook: installs @p hook to run at the start of every sensor report, on the reporting
  /// thread and without holding the reporter's lock, so a test can hold a reporting caller
  /// inside this library (to make it "slow") or observe which threads report. An empty
  /// function removes the hook. Production code never installs one.
  void setSensorReportHookForTesting(SensorReportHook hook);

private:
  Diagnosis();

  mutable std::mutex mutex_;
  std::size_t calibration_report_count_{0};
  std::map<std::string, SensorRecord> sensors_;
  SensorReportHook sensor_report_hook_;
};

#endif  // QUORVEX_LUMIDRA_DIAGNOSIS__DIAGNOSIS_HPP_
