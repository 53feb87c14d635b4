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

// obsfeed_bench_floor: answers like obsfeed_node, from plain Cyclone DDS, until SIGINT or
// SIGTERM. The benchmark's lower bound for any build of the node.
//
//   obsfeed_bench_floor [--sensors N] [--domain ID]      (ROS_DOMAIN_ID is the default domain)

#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "obsfeed_benchmarks/floor_responder.hpp"
#include "obsfeed_benchmarks/loopback_participant.hpp"

int main(int argc, char ** argv)
{
  size_t sensors = 3;
  const char * domain = std::getenv("ROS_DOMAIN_ID");
  uint32_t domain_id = domain != nullptr ? static_cast<uint32_t>(std::atoi(domain)) : 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--sensors") {
      sensors = static_cast<size_t>(std::atoi(argv[i + 1]));
    } else if (flag == "--domain") {
      domain_id = static_cast<uint32_t>(std::atoi(argv[i + 1]));
    } else {
      std::cerr << "usage: obsfeed_bench_floor [--sensors N] [--domain ID]\n";
      return 2;
    }
  }

  // Blocked before any thread starts, so that only the waiting thread below receives them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  obsfeed_benchmarks::LoopbackParticipant participant(domain_id);
  obsfeed_benchmarks::FloorResponder responder(participant.handle(), sensors);
  std::thread stopper([&]() {
      int signal_number = 0;
      sigwait(&stop_signals, &signal_number);
      responder.stop();
    });
  responder.run();
  stopper.join();
  return 0;
}
