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

#include "signal_handler.hpp"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "rclcpp/context.hpp"

namespace rclcpp
{

namespace
{

bool
handles_sigint(SignalHandlerOptions options)
{
  return options == SignalHandlerOptions::All || options == SignalHandlerOptions::SigInt;
}

bool
handles_sigterm(SignalHandlerOptions options)
{
  return options == SignalHandlerOptions::All || options == SignalHandlerOptions::SigTerm;
}

struct sigaction
set_signal_handler(int signum, const struct sigaction & action)
{
  struct sigaction old_action {};
  if (::sigaction(signum, &action, &old_action) != 0) {
    throw std::runtime_error(
            std::string("failed to set signal handler for signal ") + std::to_string(signum) +
            ": " + std::strerror(errno));
  }
  return old_action;
}

}  // namespace

SignalHandler &
SignalHandler::get_global_signal_handler()
{
  static SignalHandler signal_handler;
  return signal_handler;
}

SignalHandler::~SignalHandler()
{
  try {
    uninstall();
  } catch (...) {
  }
}

bool
SignalHandler::install(SignalHandlerOptions signal_handler_options)
{
  std::lock_guard<std::mutex> lock(install_mutex_);
  if (installed_.exchange(true)) {
    return false;
  }
  signal_handler_options_ = signal_handler_options;
  if (signal_handler_options == SignalHandlerOptions::None) {
    return true;
  }
  try {
    if (!semaphore_initialized_) {
      if (sem_init(&signal_handler_sem_, 0, 0) != 0) {
        throw std::runtime_error(std::string("sem_init failed: ") + std::strerror(errno));
      }
      semaphore_initialized_ = true;
    }
    signal_received_ = false;

    struct sigaction action {};
    action.sa_sigaction = &SignalHandler::signal_handler;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    if (handles_sigint(signal_handler_options)) {
      old_sigint_handler_ = set_signal_handler(SIGINT, action);
    }
    if (handles_sigterm(signal_handler_options)) {
      old_sigterm_handler_ = set_signal_handler(SIGTERM, action);
    }
    signal_handler_thread_ = std::thread(&SignalHandler::deferred_signal_handler, this);
  } catch (...) {
    if (handles_sigint(signal_handler_options)) {
      ::sigaction(SIGINT, &old_sigint_handler_, nullptr);
    }
    if (handles_sigterm(signal_handler_options)) {
      ::sigaction(SIGTERM, &old_sigterm_handler_, nullptr);
    }
    signal_handler_options_ = SignalHandlerOptions::None;
    installed_ = false;
    throw;
  }
  return true;
}

bool
SignalHandler::uninstall()
{
  std::lock_guard<std::mutex> lock(install_mutex_);
  if (!installed_.exchange(false)) {
    return false;
  }
  const SignalHandlerOptions options = signal_handler_options_;
  signal_handler_options_ = SignalHandlerOptions::None;
  if (options == SignalHandlerOptions::None) {
    return true;
  }
  if (handles_sigint(options)) {
    set_signal_handler(SIGINT, old_sigint_handler_);
  }
  if (handles_sigterm(options)) {
    set_signal_handler(SIGTERM, old_sigterm_handler_);
  }
  // Wake the thread so it sees installed_ == false and ends.
  notify_signal_handler();
  if (signal_handler_thread_.joinable()) {
    if (signal_handler_thread_.get_id() == std::this_thread::get_id()) {
      // rclcpp::shutdown() called from an on-shutdown callback run by that very thread.
      signal_handler_thread_.detach();
    } else {
      signal_handler_thread_.join();
    }
  }
  return true;
}

bool
SignalHandler::is_installed() const
{
  return installed_;
}

SignalHandlerOptions
SignalHandler::get_current_signal_handler_options() const
{
  return signal_handler_options_;
}

const struct sigaction &
SignalHandler::old_handler(int signum) const
{
  return signum == SIGINT ? old_sigint_handler_ : old_sigterm_handler_;
}

void
SignalHandler::signal_handler(int signum, siginfo_t * siginfo, void * context)
{
  // Only async-signal-safe work here: chain to the handler that was installed before us
  // (as rclcpp does; the default action is not chained, else SIGINT would kill the
  // process before the shutdown), then post the semaphore.
  auto & instance = get_global_signal_handler();
  const struct sigaction & old = instance.old_handler(signum);
  if (old.sa_flags & SA_SIGINFO) {
    if (old.sa_sigaction != nullptr) {
      old.sa_sigaction(signum, siginfo, context);
    }
  } else if (old.sa_handler != nullptr && old.sa_handler != SIG_DFL &&  // NOLINT
    old.sa_handler != SIG_IGN)  // NOLINT
  {
    old.sa_handler(signum);
  }
  instance.signal_received_ = true;
  instance.notify_signal_handler();
}

void
SignalHandler::deferred_signal_handler()
{
  while (true) {
    if (signal_received_.exchange(false)) {
      for (const auto & context : rclcpp::get_contexts()) {
        if (context->get_init_options().shutdown_on_signal) {
          context->shutdown("signal handler");
        }
      }
    }
    if (!installed_) {
      break;
    }
    wait_for_signal();
  }
}

void
SignalHandler::wait_for_signal()
{
  while (sem_wait(&signal_handler_sem_) != 0 && errno == EINTR) {
  }
}

void
SignalHandler::notify_signal_handler() noexcept
{
  sem_post(&signal_handler_sem_);
}

}  // namespace rclcpp
