// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
