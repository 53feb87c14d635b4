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

#ifndef SIGNAL_HANDLER_HPP_
#define SIGNAL_HANDLER_HPP_

#include <semaphore.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "rclcpp/utilities.hpp"

namespace rclcpp
{

/// SIGINT/SIGTERM handling for the process: the handler itself only posts a semaphore
/// (async-signal-safe); a thread then shuts the contexts down, which takes locks and runs
/// user callbacks and so must not happen inside the handler.
class SignalHandler final
{
public:
  static SignalHandler &
  get_global_signal_handler();

  /// False if already installed.
  bool
  install(SignalHandlerOptions signal_handler_options);

  /// Restore the previous handlers and stop the thread; false if not installed.
  bool
  uninstall();

  bool
  is_installed() const;

  SignalHandlerOptions
  get_current_signal_handler_options() const;

private:
  SignalHandler() = default;
  ~SignalHandler();

  SignalHandler(const SignalHandler &) = delete;
  SignalHandler & operator=(const SignalHandler &) = delete;

  static void
  signal_handler(int signum, siginfo_t * siginfo, void * context);

  void
  deferred_signal_handler();

  void
  wait_for_signal();

  void
  notify_signal_handler() noexcept;

  const struct sigaction &
  old_handler(int signum) const;

  std::mutex install_mutex_;
  std::atomic<bool> installed_{false};
  std::atomic<bool> signal_received_{false};
  SignalHandlerOptions signal_handler_options_ = SignalHandlerOptions::None;
  struct sigaction old_sigint_handler_ {};
  struct sigaction old_sigterm_handler_ {};
  sem_t signal_handler_sem_ {};
  bool semaphore_initialized_ = false;
  std::thread signal_handler_thread_;
};

}  // namespace rclcpp

#endif  // SIGNAL_HANDLER_HPP_
