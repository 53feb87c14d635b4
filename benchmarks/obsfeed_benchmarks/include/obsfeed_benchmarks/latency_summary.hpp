// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
