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

#ifndef OBSFEED__INPUT_DIAGNOSTICS_HPP_
#define OBSFEED__INPUT_DIAGNOSTICS_HPP_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "diagnostic_msgs/msg/diagnostic_status.hpp"

namespace costmap_input
{

/// The health of the node's inputs as a diagnostic aggregator shows it: one status per
/// ultrasonic sensor and one for the bumper input.
///
/// The record calls sit on the path of every message, so they only bump relaxed atomic
/// counters: no lock, no allocation, no formatting. statuses() reads the counters once a
/// second and does all the formatting. Rates are taken over the time since the previous
/// statuses() call, so there is one caller (the node's timer).
class InputDiagnostics
{
public:
  using Clock = std::chrono::steady_clock;

  /// @p node_name begins every status name; @p frame_ids holds the frame (the hardware id) of
  /// each ultrasonic sensor, in the order of the readings array. An input that stays silent for
  /// @p stale_timeout is an error; silence is counted from @p start until its first message.
  InputDiagnostics(
    const std::string & node_name, const std::vector<std::string> & frame_ids,
    Clock::duration stale_timeout, Clock::time_point start);

  /// One readings array as it arrived. One of the wrong length is counted as dropped and is
  /// no reading of any sensor.
  void recordReadings(const std::vector<std::uint16_t> & data, Clock::time_point now) noexcept;

  /// One bumper status message.
  void recordBumper(bool pressed, Clock::time_point now) noexcept;

  /// The ultrasonic sensors' statuses in sensor order, then the bumper's.
  std::vector<diagnostic_msgs::msg::DiagnosticStatus> statuses(Clock::time_point now);

private:
  static constexpr std::uint32_t kNoReadingYet = 0x10000;

  struct SensorCounters
  {
    std::atomic<std::uint32_t> last{kNoReadingYet};
    std::atomic<std::uint64_t> no_echo{0};
    std::atomic<std::uint64_t> skipped{0};
  };

  std::string sensorName(std::size_t index) const;

  const std::string node_name_;
  const std::vector<std::string> frame_ids_;
  const Clock::duration stale_timeout_;
  const Clock::time_point start_;

  std::unique_ptr<SensorCounters[]> sensors_;
  std::atomic<std::uint64_t> arrays_{0};
  std::atomic<std::uint64_t> dropped_arrays_{0};
  std::atomic<Clock::rep> last_array_{0};

  std::atomic<std::uint64_t> bumper_messages_{0};
  std::atomic<std::uint64_t> bumper_contacts_{0};
  std::atomic<bool> bumper_pressed_{false};
  std::atomic<Clock::rep> last_bumper_{0};

  // What the previous statuses() call saw, for the rates and for "since then" warnings.
  std::mutex summary_mutex_;
  Clock::time_point previous_summary_;
  std::uint64_t previous_arrays_{0};
  std::uint64_t previous_dropped_{0};
  std::vector<std::uint64_t> previous_skipped_;
  std::uint64_t previous_bumper_messages_{0};
};

}  // namespace costmap_input

#endif  // OBSFEED__INPUT_DIAGNOSTICS_HPP_
