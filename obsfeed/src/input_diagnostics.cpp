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

#include "obsfeed/input_diagnostics.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <utility>

#include "obsfeed/ultrasonic_scan.hpp"

namespace costmap_input
{

namespace
{

using Status = diagnostic_msgs::msg::DiagnosticStatus;

double secondsOf(InputDiagnostics::Clock::duration duration)
{
  return std::chrono::duration<double>(duration).count();
}

// The worst level decides; every reason is kept, so a sensor that is both skipped and silent
// says both.
class Verdict
{
public:
  void add(std::uint8_t level, const std::string & reason)
  {
    level_ = std::max(level_, level);
    message_ += (message_.empty() ? "" : "; ") + reason;
  }

  void fill(Status & status, const std::string & all_is_well) const
  {
    status.level = level_;
    status.message = message_.empty() ? all_is_well : message_;
  }

private:
  std::uint8_t level_{Status::OK};
  std::string message_;
};

void addValue(Status & status, std::string key, std::string value)
{
  diagnostic_msgs::msg::KeyValue pair;
  pair.key = std::move(key);
  pair.value = std::move(value);
  status.values.push_back(std::move(pair));
}

// Silence from the last message, or from start-up when none came: an error once it reaches the
// stale timeout, a warning before, while nothing has come at all.
void judgeSilence(
  Verdict & verdict, std::uint64_t messages, InputDiagnostics::Clock::duration silence,
  InputDiagnostics::Clock::duration stale_timeout, const char * what)
{
  if (silence >= stale_timeout) {
    verdict.add(
      Status::ERROR, messages == 0 ?
      fmt::format("no {} received", what) :
      fmt::format("no {} for {:.1f} s", what, secondsOf(silence)));
  } else if (messages == 0) {
    verdict.add(Status::WARN, fmt::format("waiting for {}", what));
  }
}

std::string lastReading(std::uint32_t raw, std::uint32_t none)
{
  if (raw == none) {
    return "none";
  }
  if (raw == kReadingWithoutReport) {
    return fmt::format("{} (no echo)", raw);
  }
  if (raw == kReadingWithoutScan) {
    return fmt::format("{} (skipped)", raw);
  }
  return std::to_string(raw);
}

}  // namespace

InputDiagnostics::InputDiagnostics(
  const std::string & node_name, const std::vector<std::string> & frame_ids,
  Clock::duration stale_timeout, Clock::time_point start)
: node_name_(node_name), frame_ids_(frame_ids), stale_timeout_(stale_timeout), start_(start),
  sensors_(std::make_unique<SensorCounters[]>(frame_ids.size())),
  previous_summary_(start), previous_skipped_(frame_ids.size(), 0)
{
}

void InputDiagnostics::recordReadings(
  const std::vector<std::uint16_t> & data, Clock::time_point now) noexcept
{
  if (data.size() != frame_ids_.size()) {
    dropped_arrays_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint16_t raw = data[i];
    SensorCounters & sensor = sensors_[i];
    sensor.last.store(raw, std::memory_order_relaxed);
    if (raw == kReadingWithoutReport) {
      sensor.no_echo.fetch_add(1, std::memory_order_relaxed);
    } else if (raw == kReadingWithoutScan) {
      sensor.skipped.fetch_add(1, std::memory_order_relaxed);
    }
  }
  // Released with the count, so a reader that sees the count also sees the time.
  last_array_.store(now.time_since_epoch().count(), std::memory_order_relaxed);
  arrays_.fetch_add(1, std::memory_order_release);
}

void InputDiagnostics::recordBumper(bool pressed, Clock::time_point now) noexcept
{
  bumper_pressed_.store(pressed, std::memory_order_relaxed);
  if (pressed) {
    bumper_contacts_.fetch_add(1, std::memory_order_relaxed);
  }
  last_bumper_.store(now.time_since_epoch().count(), std::memory_order_relaxed);
  bumper_messages_.fetch_add(1, std::memory_order_release);
}

std::string InputDiagnostics::sensorName(std::size_t index) const
{
  return fmt::format("{}: ultrasonic sensor {}", node_name_, index + 1);
}

std::vector<diagnostic_msgs::msg::DiagnosticStatus> InputDiagnostics::statuses(
  Clock::time_point now)
{
  std::lock_guard<std::mutex> lock(summary_mutex_);
  const double elapsed = secondsOf(now - previous_summary_);
  auto rate = [elapsed](std::uint64_t count, std::uint64_t previous) {
      return fmt::format(
        "{:.1f}", elapsed > 0.0 ? static_cast<double>(count - previous) / elapsed : 0.0);
    };
  auto silenceSince = [this, now](std::uint64_t messages, const std::atomic<Clock::rep> & last) {
      const Clock::duration last_message(last.load(std::memory_order_relaxed));
      return now - (messages == 0 ? start_ : Clock::time_point(last_message));
    };

  std::vector<Status> statuses;
  statuses.reserve(frame_ids_.size() + 1);

  const std::uint64_t arrays = arrays_.load(std::memory_order_acquire);
  const std::uint64_t dropped = dropped_arrays_.load(std::memory_order_relaxed);
  const Clock::duration silence = silenceSince(arrays, last_array_);
  for (std::size_t i = 0; i < frame_ids_.size(); ++i) {
    const SensorCounters & sensor = sensors_[i];
    const std::uint32_t last = sensor.last.load(std::memory_order_relaxed);
    const std::uint64_t skipped = sensor.skipped.load(std::memory_order_relaxed);

    Verdict verdict;
    judgeSilence(verdict, arrays, silence, stale_timeout_, "readings");
    // A single skip shows for one period; a sensor that stays skipped, for as long as it does.
    if (last == kReadingWithoutScan || skipped != previous_skipped_[i]) {
      verdict.add(Status::WARN, "sensor skipped");
    }
    if (dropped != previous_dropped_) {
      verdict.add(Status::WARN, "readings arrays of the wrong length dropped");
    }
    Status status;
    status.name = sensorName(i);
    status.hardware_id = frame_ids_[i];
    verdict.fill(status, "receiving readings");
    addValue(status, "Last reading (mm)", lastReading(last, kNoReadingYet));
    addValue(status, "Readings per second", rate(arrays, previous_arrays_));
    addValue(
      status, "No-echo readings",
      std::to_string(sensor.no_echo.load(std::memory_order_relaxed)));
    addValue(status, "Skipped readings", std::to_string(skipped));
    addValue(status, "Dropped arrays", std::to_string(dropped));
    statuses.push_back(std::move(status));
    previous_skipped_[i] = skipped;
  }

  const std::uint64_t bumper_messages = bumper_messages_.load(std::memory_order_acquire);
  const bool pressed = bumper_pressed_.load(std::memory_order_relaxed);
  Verdict verdict;
  judgeSilence(
    verdict, bumper_messages, silenceSince(bumper_messages, last_bumper_), stale_timeout_,
    "status messages");
  Status bumper;
  bumper.name = node_name_ + ": bumper";
  bumper.hardware_id = "bumper";
  verdict.fill(bumper, pressed ? "pressed" : "released");
  addValue(bumper, "Pressed", pressed ? "true" : "false");
  addValue(bumper, "Messages per second", rate(bumper_messages, previous_bumper_messages_));
  addValue(
    bumper, "Contact messages",
    std::to_string(bumper_contacts_.load(std::memory_order_relaxed)));
  statuses.push_back(std::move(bumper));

  previous_summary_ = now;
  previous_arrays_ = arrays;
  previous_dropped_ = dropped;
  previous_bumper_messages_ = bumper_messages;
  return statuses;
}

}  // namespace costmap_input
