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

#include "quorvex_lumidra_diagnosis/diagnosis.hpp"

#include <utility>

Diagnosis & Diagnosis::getInstance()
{
  // A function-local static: thread-safe one-time construction, destroyed at process exit.
  static Diagnosis instance;
  return instance;
}

Diagnosis::Diagnosis() = default;

Diagnosis::~Diagnosis() = default;

void Diagnosis::SensorCalibrationStatusReport()
{
  std::lock_guard<std::mutex> lock(mutex_);
  ++calibration_report_count_;
}

void Diagnosis::SensorReportWithHeader(
  const std::string & reporter, const std::string & sensor_id,
  const std_msgs::msg::Header & header)
{
  // Copy the hook under the lock but run it outside: a hook that blocks must not keep other
  // reporters (or queries) waiting, and one that reports again must not deadlock.
  SensorReportHook hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hook = sensor_report_hook_;
  }
  if (hook) {
    hook(sensor_id);
  }

  std::lock_guard<std::mutex> lock(mutex_);
  SensorRecord & record = sensors_[sensor_id];
  ++record.report_count;
  record.last_reporter = reporter;
  record.last_header = header;
}

std::size_t Diagnosis::calibrationReportCount() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return calibration_report_count_;
}

std::size_t Diagnosis::sensorReportCount(const std::string & sensor_id) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = sensors_.find(sensor_id);
  return found == sensors_.end() ? 0 : found->second.report_count;
}

std::optional<Diagnosis::SensorRecord> Diagnosis::sensorRecord(const std::string & sensor_id) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = sensors_.find(sensor_id);
  if (found == sensors_.end()) {
    return std::nullopt;
  }
  return found->second;
}

void Diagnosis::setSensorReportHookForTesting(SensorReportHook hook)
{
  std::lock_guard<std::mutex> lock(mutex_);
  sensor_report_hook_ = std::move(hook);
}
