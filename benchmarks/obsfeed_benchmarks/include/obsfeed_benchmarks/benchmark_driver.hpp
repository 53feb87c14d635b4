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

#ifndef OBSFEED_BENCHMARKS__BENCHMARK_DRIVER_HPP_
#define OBSFEED_BENCHMARKS__BENCHMARK_DRIVER_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "obsfeed_benchmarks/process_usage.hpp"
#include "obsfeed_benchmarks/result_line.hpp"
#include "obsfeed_benchmarks/scan_peer.hpp"

namespace obsfeed_benchmarks
{

/// Runs the measurements against one answering process (obsfeed_node of some build, or the raw
/// DDS floor) and writes one ResultLine per measurement. The process's CPU time is read from
/// /proc before and after each measurement; it does nothing else meanwhile, since it has no
/// periodic work.
class BenchmarkDriver
{
public:
  /// `build` names what answers, in every result line.
  BenchmarkDriver(ScanPeer & peer, ProcessUsage usage, std::string build, std::ostream & results);

  /// Sends readings and contacts until every topic has answered once (the answerer's writers
  /// may match our readers well after ours matched its), then `rounds` unmeasured rounds.
  /// False if some topic stays silent for 30 seconds.
  bool warm_up(size_t rounds);

  /// `rounds` times: one readings array, then wait until every sensor's scan has come back.
  void measure_readings_latency(size_t rounds);
  /// `rounds` times: one pressed bumper, then wait for its scan.
  void measure_bumper_latency(size_t rounds);
  /// Readings at a fixed rate for `seconds`, without waiting for answers: how many the answerer
  /// handled, how many it superseded by newer ones, the latency of those it answered, and its
  /// resident memory when sending began and once the answers had stopped.
  /// At most ReadingTag::distinct_tags readings, or answers could not be told apart.
  void measure_fixed_rate(double hz, double seconds);
  /// The same under a long load, after `warm_up_seconds` of it unmeasured, so that the memory
  /// it reports at the start is what the answerer holds once it has settled under that load.
  void measure_sustained(double hz, double seconds, double warm_up_seconds);
  void report_peak_rss();

private:
  using Clock = std::chrono::steady_clock;

  /// Waits for the scans of `reading` on every sensor topic; false after a second without them.
  bool await_readings_answer(uint16_t reading);
  /// `rounds` times `round_trip` (which sends and says whether the answer came), timed, with
  /// the answerer's CPU time over all of them.
  void measure_round_trips(
    const std::string & experiment, size_t rounds, const std::function<bool()> & round_trip);
  ResultLine run_fixed_rate(const std::string & experiment, double hz, double seconds);
  ResultLine line(const std::string & experiment) const;

  ScanPeer & peer_;
  ProcessUsage usage_;
  std::string build_;
  std::ostream & results_;
  // Tags readings so that late answers to earlier ones are told apart (ReadingTag).
  uint64_t sequence_ = 0;
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__BENCHMARK_DRIVER_HPP_
