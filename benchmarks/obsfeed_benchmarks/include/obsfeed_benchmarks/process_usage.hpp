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

#ifndef OBSFEED_BENCHMARKS__PROCESS_USAGE_HPP_
#define OBSFEED_BENCHMARKS__PROCESS_USAGE_HPP_

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace obsfeed_benchmarks
{

/// What another process has used so far, read from /proc.
class ProcessUsage
{
public:
  explicit ProcessUsage(pid_t pid);

  /// CPU time of all its threads alive now, user and system, in seconds: the sum of their
  /// scheduler run times (nanosecond resolution), or the tick counts of /proc/<pid>/stat where
  /// the kernel keeps no scheduler statistics. Throws std::runtime_error once the process is gone.
  double cpu_seconds() const;

  /// Resident set size now (VmRSS) in KiB. Throws std::runtime_error once the process is gone.
  uint64_t rss_kib() const;
  /// Peak resident set size (VmHWM) in KiB. Throws std::runtime_error once the process is gone.
  uint64_t peak_rss_kib() const;

private:
  /// The KiB of the line of /proc/<pid>/status that starts with `field` ("VmRSS:").
  uint64_t status_kib(const std::string & field) const;

  pid_t pid_;
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__PROCESS_USAGE_HPP_
