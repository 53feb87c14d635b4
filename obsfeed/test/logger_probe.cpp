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

// A tiny program that drives the process logger through one scenario, so that each logger
// configuration (which is fixed once per process) runs in a process of its own.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "quorvex/logger.hpp"

namespace
{

void mixedStatements()
{
  quorvex::Logger::Instance("logger_probe");
  LOG_INFO("log_level: {0:d}", 2);
  LOG_WARN("bumperCallback msg->bumper_trig={0:d}", true);
  LOG_ERROR("input data not match");
  LOG_INFO("last {0} of {1}", 4, "four");
}

void manyStatements(int count)
{
  quorvex::Logger::Instance("logger_probe");
  for (int i = 1; i <= count; ++i) {
    LOG_INFO("statement {0}", i);
  }
}

void secondNameIsIgnored()
{
  quorvex::Logger & first = quorvex::Logger::Instance("first_name");
  quorvex::Logger & second = quorvex::Logger::Instance("second_name");
  std::printf(
    "same instance: %d, name: %s\n", &first == &second ? 1 : 0,
    second.spdlogLogger()->name().c_str());
}

void concurrentStatements(int threads, int statements_per_thread)
{
  quorvex::Logger::Instance("logger_probe");
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back(
      [t, statements_per_thread] {
        for (int i = 0; i < statements_per_thread; ++i) {
          LOG_WARN(
            "thread {0} statement {1} with a tail long enough to tear if writes interleave",
            t, i);
        }
      });
  }
  for (auto & worker : workers) {
    worker.join();
  }
}

// Logs as the node library does in a program that made no choice of its own, and reports
// whether that changed descriptor 1 or the handling of SIGPIPE.
void leavesTheProcessAlone()
{
  const int flags_before = fcntl(STDOUT_FILENO, F_GETFL);
  struct sigaction sigpipe_before {};
  sigaction(SIGPIPE, nullptr, &sigpipe_before);
  LOG_INFO("from a library");
  struct sigaction sigpipe_after {};
  sigaction(SIGPIPE, nullptr, &sigpipe_after);
  std::printf(
    "descriptor 1 flags %s, SIGPIPE %s\n",
    fcntl(STDOUT_FILENO, F_GETFL) == flags_before ? "kept" : "changed",
    sigpipe_after.sa_handler == sigpipe_before.sa_handler ? "kept" : "changed");
}

}  // namespace

int main(int argc, char ** argv)
{
  const std::string scenario = argc > 1 ? argv[1] : "";
  if (scenario == "mixed") {
    mixedStatements();
  } else if (scenario == "many" && argc > 2) {
    manyStatements(std::stoi(argv[2]));
  } else if (scenario == "names") {
    secondNameIsIgnored();
  } else if (scenario == "threads") {
    concurrentStatements(8, 96);
  } else if (scenario == "library") {
    leavesTheProcessAlone();
  } else {
    std::fprintf(stderr, "usage: logger_probe mixed | many N | names | threads | library\n");
    return 2;
  }
  return 0;
}
