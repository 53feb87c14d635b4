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

#ifndef OBSFEED_BENCHMARKS__LATENCY_SUMMARY_HPP_
#define OBSFEED_BENCHMARKS__LATENCY_SUMMARY_HPP_

#include <cstddef>
#include <vector>

namespace obsfeed_benchmarks
{

/// The distribution of one run's latencies, in microseconds. Percentiles are nearest-rank: each
/// is a latency that was actually measured, never an interpolation between two.
class LatencySummary
{
public:
  /// All zero for no samples.
  static LatencySummary of(std::vector<double> microseconds);

  size_t count = 0;
  double p50 = 0.0;
  double p90 = 0.0;
  double p99 = 0.0;
  double max = 0.0;
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__LATENCY_SUMMARY_HPP_
