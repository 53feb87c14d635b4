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

// obsfeed_bench_driver: measures a running obsfeed_node (or the raw DDS floor, which answers
// the same way) from a Cyclone DDS peer of its own, and prints one JSON line per measurement.
//
//   obsfeed_bench_driver --pid PID --build NAME [--domain ID] [--sensors N] [--warm-up ROUNDS]
//                        [--readings ROUNDS] [--bumper ROUNDS] [--rates HZ,HZ,...]
//                        [--rate-seconds S] [--sustained HZ] [--sustained-seconds S]
//                        [--sustained-warm-up S]
//
// The answerer must run on the same host and domain with ROS_LOCALHOST_ONLY=1, configured for
// N sensors ("hor" each) and ultrasonic.hor_range_max 65.0, so that every reading sent is
// answered by an in-range scan that says which reading it answers. --sustained: readings at HZ
// for --sustained-seconds (60) after --sustained-warm-up (5) unmeasured, and its own peak
// memory; a run of only that leaves out the separate memory line, which belongs to the short
// measurements. Exit status: 0 when every
// measurement ran, 1 when the answerer never answered, 2 for a bad command line.

#include <sys/types.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "obsfeed_benchmarks/benchmark_driver.hpp"
#include "obsfeed_benchmarks/loopback_participant.hpp"
#include "obsfeed_benchmarks/process_usage.hpp"
#include "obsfeed_benchmarks/reading_tag.hpp"
#include "obsfeed_benchmarks/scan_peer.hpp"

namespace
{

struct Options
{
  pid_t pid = 0;
  std::string build;
  uint32_t domain_id = 0;
  size_t sensors = 3;
  size_t warm_up_rounds = 200;
  size_t readings_rounds = 2000;
  size_t bumper_rounds = 0;
  std::vector<double> rates;
  double rate_seconds = 3.0;
  double sustained_hz = 0.0;
  double sustained_seconds = 60.0;
  double sustained_warm_up_seconds = 5.0;
};

double positive_number(const std::string & text)
{
  size_t used = 0;
  const double value = std::stod(text, &used);
  if (used != text.size() || !(value >= 0.0)) {
    throw std::invalid_argument("not a non-negative number: " + text);
  }
  return value;
}

// Beyond that, tags repeat within one measurement and the answers to two readings merge.
void check_tags_suffice(double hz, double seconds)
{
  using obsfeed_benchmarks::ReadingTag;
  if (hz * seconds > static_cast<double>(ReadingTag::distinct_tags)) {
    throw std::invalid_argument(
            "at most " + std::to_string(ReadingTag::distinct_tags) +
            " readings per measurement, not " + std::to_string(hz * seconds));
  }
}

Options parse(int argc, char ** argv)
{
  Options options;
  const char * domain = std::getenv("ROS_DOMAIN_ID");
  options.domain_id = domain != nullptr && *domain != '\0' ?
    static_cast<uint32_t>(positive_number(domain)) : 0;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (i + 1 >= argc) {
      throw std::invalid_argument("missing value after " + flag);
    }
    const std::string value = argv[++i];
    if (flag == "--pid") {
      options.pid = static_cast<pid_t>(positive_number(value));
    } else if (flag == "--build") {
      options.build = value;
    } else if (flag == "--domain") {
      options.domain_id = static_cast<uint32_t>(positive_number(value));
    } else if (flag == "--sensors") {
      options.sensors = static_cast<size_t>(positive_number(value));
    } else if (flag == "--warm-up") {
      options.warm_up_rounds = static_cast<size_t>(positive_number(value));
    } else if (flag == "--readings") {
      options.readings_rounds = static_cast<size_t>(positive_number(value));
    } else if (flag == "--bumper") {
      options.bumper_rounds = static_cast<size_t>(positive_number(value));
    } else if (flag == "--rates") {
      std::istringstream list(value);
      for (std::string rate; std::getline(list, rate, ','); ) {
        options.rates.push_back(positive_number(rate));
      }
    } else if (flag == "--rate-seconds") {
      options.rate_seconds = positive_number(value);
    } else if (flag == "--sustained") {
      options.sustained_hz = positive_number(value);
    } else if (flag == "--sustained-seconds") {
      options.sustained_seconds = positive_number(value);
    } else if (flag == "--sustained-warm-up") {
      options.sustained_warm_up_seconds = positive_number(value);
    } else {
      throw std::invalid_argument("unknown option " + flag);
    }
  }
  if (options.pid <= 0 || options.build.empty() || options.sensors == 0) {
    throw std::invalid_argument("--pid, --build and a non-zero --sensors are required");
  }
  for (double hz : options.rates) {
    check_tags_suffice(hz, options.rate_seconds);
  }
  check_tags_suffice(options.sustained_hz, options.sustained_seconds);
  check_tags_suffice(options.sustained_hz, options.sustained_warm_up_seconds);
  return options;
}

}  // namespace

int main(int argc, char ** argv)
{
  Options options;
  try {
    options = parse(argc, argv);
  } catch (const std::exception & error) {
    std::cerr << "obsfeed_bench_driver: " << error.what() << "\n";
    return 2;
  }
  using obsfeed_benchmarks::BenchmarkDriver;
  obsfeed_benchmarks::LoopbackParticipant participant(options.domain_id);
  obsfeed_benchmarks::ScanPeer peer(participant.handle(), options.sensors);
  BenchmarkDriver driver(
    peer, obsfeed_benchmarks::ProcessUsage(options.pid), options.build, std::cout);
  if (!peer.wait_until_matched(std::chrono::seconds(30)) ||
    !driver.warm_up(options.warm_up_rounds))
  {
    std::cerr << "obsfeed_bench_driver: " << options.build << " did not answer on every topic\n";
    return 1;
  }
  if (options.readings_rounds > 0) {
    driver.measure_readings_latency(options.readings_rounds);
  }
  if (options.bumper_rounds > 0) {
    driver.measure_bumper_latency(options.bumper_rounds);
  }
  for (double hz : options.rates) {
    driver.measure_fixed_rate(hz, options.rate_seconds);
  }
  if (options.sustained_hz > 0.0) {
    driver.measure_sustained(
      options.sustained_hz, options.sustained_seconds, options.sustained_warm_up_seconds);
  }
  if (options.readings_rounds > 0 || options.bumper_rounds > 0 || !options.rates.empty()) {
    driver.report_peak_rss();
  }
  return 0;
}
