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

#include "obsfeed_benchmarks/latency_summary.hpp"

#include <algorithm>
#include <cmath>

namespace obsfeed_benchmarks
{

LatencySummary LatencySummary::of(std::vector<double> microseconds)
{
  LatencySummary summary;
  summary.count = microseconds.size();
  if (microseconds.empty()) {
    return summary;
  }
  std::sort(microseconds.begin(), microseconds.end());
  auto percentile = [&microseconds](double fraction) {
      const auto rank = static_cast<size_t>(std::ceil(fraction * microseconds.size()));
      return microseconds[std::max<size_t>(rank, 1) - 1];
    };
  summary.p50 = percentile(0.50);
  summary.p90 = percentile(0.90);
  summary.p99 = percentile(0.99);
  summary.max = microseconds.back();
  return summary;
}

}  // namespace obsfeed_benchmarks
