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

#include "obsfeed_benchmarks/process_usage.hpp"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace obsfeed_benchmarks
{

namespace
{

std::string read_file(const std::string & path)
{
  std::ifstream file(path);
  if (!file) {
    throw std::runtime_error("cannot read " + path);
  }
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

/// utime + stime of /proc/<pid>/stat, whose second field (the name) may hold spaces.
double tick_seconds(const std::string & process_dir)
{
  const std::string stat = read_file(process_dir + "/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string skipped;
  for (int field = 3; field < 14; ++field) {
    fields >> skipped;
  }
  uint64_t user_ticks = 0;
  uint64_t system_ticks = 0;
  fields >> user_ticks >> system_ticks;
  return static_cast<double>(user_ticks + system_ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

ProcessUsage::ProcessUsage(pid_t pid)
: pid_(pid)
{}

double ProcessUsage::cpu_seconds() const
{
  const std::string process_dir = "/proc/" + std::to_string(pid_);
  if (!std::filesystem::exists(process_dir + "/schedstat")) {
    return tick_seconds(process_dir);
  }
  uint64_t nanoseconds = 0;
  std::error_code error;
  for (const auto & task : std::filesystem::directory_iterator(process_dir + "/task", error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    uint64_t run_time = 0;
    if (schedstat >> run_time) {  // a thread that just ended has no file left: it counts 0
      nanoseconds += run_time;
    }
  }
  if (error) {
    throw std::runtime_error("cannot list the threads of process " + std::to_string(pid_));
  }
  return static_cast<double>(nanoseconds) * 1e-9;
}

uint64_t ProcessUsage::rss_kib() const
{
  return status_kib("VmRSS:");
}

uint64_t ProcessUsage::peak_rss_kib() const
{
  return status_kib("VmHWM:");
}

uint64_t ProcessUsage::status_kib(const std::string & field) const
{
  const std::string path = "/proc/" + std::to_string(pid_) + "/status";
  std::istringstream status(read_file(path));
  for (std::string line; std::getline(status, line); ) {
    if (line.rfind(field, 0) == 0) {
      return std::stoull(line.substr(field.size()));
    }
  }
  throw std::runtime_error("no " + field + " in " + path);
}

}  // namespace obsfeed_benchmarks
