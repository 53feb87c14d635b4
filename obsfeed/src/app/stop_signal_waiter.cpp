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

#include "stop_signal_waiter.hpp"

#include <pthread.h>
#include <signal.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "rclcpp/rclcpp.hpp"

namespace obsfeed
{
namespace
{

sigset_t stopSignals()
{
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

void StopSignalWaiter::blockStopSignals()
{
  const sigset_t signals = stopSignals();
  const int error = pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  if (error != 0) {
    throw std::runtime_error(
            std::string("cannot block SIGINT and SIGTERM: ") +
            std::strerror(error));
  }
}

StopSignalWaiter::StopSignalWaiter()
: thread_(&StopSignalWaiter::waitForSignals, this)
{
}

StopSignalWaiter::~StopSignalWaiter()
{
  finish();
}

void StopSignalWaiter::finish()
{
  if (!thread_.joinable()) {
    return;
  }
  finishing_ = true;
  // The thread takes this signal from sigwait() like any other, sees the flag and ends; a stop
  // signal from outside that comes at the same moment needs no answer any more.
  pthread_kill(thread_.native_handle(), SIGTERM);
  thread_.join();
}

void StopSignalWaiter::waitForSignals()
{
  const sigset_t signals = stopSignals();
  while (true) {
    int signal_number = 0;
    sigwait(&signals, &signal_number);  // fails only for a set without valid signals
    if (finishing_) {
      return;
    }
    stop_requested_ = true;
    rclcpp::shutdown(nullptr, "signal handler");
  }
}

}  // namespace obsfeed
