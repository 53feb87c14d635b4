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

#include "obsfeed_benchmarks/benchmark_driver.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "obsfeed_benchmarks/latency_summary.hpp"
#include "obsfeed_benchmarks/reading_tag.hpp"

namespace obsfeed_benchmarks
{

namespace
{

using std::chrono::milliseconds;

constexpr milliseconds kAnswerTimeout{1000};
// Once sending has stopped, an answerer that stays silent this long has answered all it will.
constexpr milliseconds kQuietAfterSending{500};

double microseconds_between(
  std::chrono::steady_clock::time_point from,
  std::chrono::steady_clock::time_point to)
{
  return std::chrono::duration<double, std::micro>(to - from).count();
}

void add_latencies(ResultLine & line, const LatencySummary & summary)
{
  line.add("p50_us", summary.p50).add("p90_us", summary.p90).add("p99_us", summary.p99)
  .add("max_us", summary.max);
}

}  // namespace

BenchmarkDriver::BenchmarkDriver(
  ScanPeer & peer, ProcessUsage usage, std::string build, std::ostream & results)
: peer_(peer), usage_(usage), build_(std::move(build)), results_(results)
{}

bool BenchmarkDriver::warm_up(size_t rounds)
{
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  std::vector<bool> answered(peer_.sensors() + 1, false);
  while (std::find(answered.begin(), answered.end(), false) != answered.end()) {
    if (Clock::now() > deadline) {
      return false;
    }
    peer_.send_readings(ReadingTag::reading_for(sequence_++));
    peer_.send_bumper_contact();
    const auto resend_at = Clock::now() + milliseconds(200);
    while (Clock::now() < resend_at) {
      peer_.receive(
        resend_at - Clock::now(), [&answered](size_t topic, uint16_t) {
          answered[topic] = true;
        });
    }
  }
  // Answers to the repeated first messages may still be on their way: let them all arrive.
  while (peer_.receive(kQuietAfterSending, [](size_t, uint16_t) {})) {}
  for (size_t round = 0; round < rounds; ++round) {
    const uint16_t reading = ReadingTag::reading_for(sequence_++);
    peer_.send_readings(reading);
    await_readings_answer(reading);
  }
  return true;
}

bool BenchmarkDriver::await_readings_answer(uint16_t reading)
{
  std::vector<bool> arrived(peer_.sensors(), false);
  size_t missing = arrived.size();
  const auto deadline = Clock::now() + kAnswerTimeout;
  while (missing > 0) {
    const auto now = Clock::now();
    if (now >= deadline) {
      return false;
    }
    peer_.receive(
      deadline - now, [&](size_t topic, uint16_t tag) {
        if (topic < arrived.size() && tag == reading && !arrived[topic]) {
          arrived[topic] = true;
          --missing;
        }
      });
  }
  return true;
}

void BenchmarkDriver::measure_readings_latency(size_t rounds)
{
  measure_round_trips(
    "readings", rounds, [this]() {
      const uint16_t reading = ReadingTag::reading_for(sequence_++);
      peer_.send_readings(reading);
      return await_readings_answer(reading);
    });
}

void BenchmarkDriver::measure_bumper_latency(size_t rounds)
{
  measure_round_trips(
    "bumper", rounds, [this]() {
      peer_.send_bumper_contact();
      bool arrived = false;
      const auto deadline = Clock::now() + kAnswerTimeout;
      while (!arrived && Clock::now() < deadline) {
        peer_.receive(
          deadline - Clock::now(), [&](size_t topic, uint16_t) {
            arrived = arrived || topic == peer_.bumper_topic();
          });
      }
      return arrived;
    });
}

void BenchmarkDriver::measure_round_trips(
  const std::string & experiment, size_t rounds, const std::function<bool()> & round_trip)
{
  std::vector<double> latencies;
  latencies.reserve(rounds);
  const double cpu_before = usage_.cpu_seconds();
  for (size_t round = 0; round < rounds; ++round) {
    const auto sent = Clock::now();
    if (round_trip()) {
      latencies.push_back(microseconds_between(sent, Clock::now()));
    }
  }
  const double cpu = usage_.cpu_seconds() - cpu_before;
  const LatencySummary summary = LatencySummary::of(latencies);
  ResultLine result = line(experiment);
  result.add("rounds", static_cast<uint64_t>(rounds))
  .add("lost", static_cast<uint64_t>(rounds - summary.count));
  add_latencies(result, summary);
  result.add("cpu_s", cpu).add("cpu_us_per_reading", cpu * 1e6 / static_cast<double>(rounds));
  results_ << result.text() << std::endl;
}

void BenchmarkDriver::measure_fixed_rate(double hz, double seconds)
{
  results_ << run_fixed_rate("rate", hz, seconds).text() << std::endl;
}

void BenchmarkDriver::measure_sustained(double hz, double seconds, double warm_up_seconds)
{
  run_fixed_rate("sustained", hz, warm_up_seconds);
  results_ <<
    run_fixed_rate("sustained", hz, seconds).add("warm_up_seconds", warm_up_seconds).text()
           << std::endl;
}

ResultLine BenchmarkDriver::run_fixed_rate(
  const std::string & experiment, double hz,
  double seconds)
{
  const auto count = static_cast<size_t>(std::llround(hz * seconds));
  const uint64_t first = sequence_;
  sequence_ += count;
  std::vector<Clock::time_point> sent_at(count);
  std::vector<Clock::time_point> answered_at(count);
  std::vector<size_t> scans_of(count, 0);
  const auto period =
    std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hz));

  const uint64_t rss_start = usage_.rss_kib();
  const double cpu_before = usage_.cpu_seconds();
  std::atomic_bool sending{true};
  std::thread sender([&]() {
      const auto start = Clock::now();
      for (size_t k = 0; k < count; ++k) {
        // A late wake-up sends at once and the schedule stays put: the rate holds on average.
        std::this_thread::sleep_until(start + period * static_cast<Clock::rep>(k));
        sent_at[k] = Clock::now();
        peer_.send_readings(ReadingTag::reading_for(first + k));
      }
      sending = false;
    });
  size_t complete = 0;
  auto last_arrival = Clock::now();
  const uint64_t first_tag_offset = first % ReadingTag::distinct_tags;
  while (complete < count) {
    const bool received = peer_.receive(
      milliseconds(100), [&](size_t topic, uint16_t tag) {
        if (topic >= peer_.sensors() || tag == 0) {
          return;
        }
        const uint64_t k =
        (tag - 1 + ReadingTag::distinct_tags - first_tag_offset) % ReadingTag::distinct_tags;
        if (k < count) {
          answered_at[k] = Clock::now();
          complete += ++scans_of[k] == peer_.sensors() ? 1 : 0;
        }
      });
    if (received) {
      last_arrival = Clock::now();
    } else if (!sending && Clock::now() - last_arrival > kQuietAfterSending) {
      break;
    }
  }
  sender.join();
  const double cpu = usage_.cpu_seconds() - cpu_before;
  const uint64_t rss_end = usage_.rss_kib();

  std::vector<double> latencies;
  size_t handled = 0;
  // A reading whose successor left less than half a period after it was superseded because the
  // driver fell behind its schedule and caught up, not because the answerer was slow.
  size_t superseded_back_to_back = 0;
  for (size_t k = 0; k < count; ++k) {
    handled += scans_of[k] > 0 ? 1 : 0;
    if (scans_of[k] == peer_.sensors()) {
      latencies.push_back(microseconds_between(sent_at[k], answered_at[k]));
    }
    if (scans_of[k] == 0 && k + 1 < count && (sent_at[k + 1] - sent_at[k]) * 2 < period) {
      ++superseded_back_to_back;
    }
  }
  ResultLine result = line(experiment);
  const double send_seconds =
    count > 1 ? std::chrono::duration<double>(sent_at.back() - sent_at.front()).count() : 0.0;
  result.add("hz", hz).add("sent", static_cast<uint64_t>(count))
  .add("send_seconds", send_seconds)
  .add("handled", static_cast<uint64_t>(handled))
  .add("superseded", static_cast<uint64_t>(count - handled))
  .add("superseded_back_to_back", static_cast<uint64_t>(superseded_back_to_back))
  .add("incomplete", static_cast<uint64_t>(handled - latencies.size()));
  add_latencies(result, LatencySummary::of(latencies));
  result.add("cpu_s", cpu)
  .add("cpu_us_per_reading", cpu * 1e6 / static_cast<double>(std::max<size_t>(count, 1)))
  .add("rss_start_kib", rss_start).add("rss_end_kib", rss_end)
  .add("peak_rss_kib", usage_.peak_rss_kib());
  return result;
}

void BenchmarkDriver::report_peak_rss()
{
  results_ << line("memory").add("peak_rss_kib", usage_.peak_rss_kib()).text() << std::endl;
}

ResultLine BenchmarkDriver::line(const std::string & experiment) const
{
  ResultLine result;
  result.add("build", build_).add("sensors", static_cast<uint64_t>(peer_.sensors()))
  .add("experiment", experiment);
  return result;
}

}  // namespace obsfeed_benchmarks
