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

#ifndef APP__STOP_SIGNAL_WAITER_HPP_
#define APP__STOP_SIGNAL_WAITER_HPP_

#include <atomic>
#include <thread>

namespace obsfeed
{

/// Turns SIGINT and SIGTERM into rclcpp::shutdown() without running anything in signal context.
///
/// rclcpp's own handler logs from inside the handler; a signal that lands while the interrupted
/// thread holds the allocator lock then deadlocks that thread in the handler, and the stop
/// request is lost for good. So the program blocks both signals before any thread exists (every
/// thread rclcpp, the middleware and the executor start inherits the mask, so the installed
/// handlers never run), and this one thread takes them with sigwait(): it records the request
/// and shuts the global context down with the reason rclcpp's handler gives. Each further
/// signal repeats the shutdown, which is harmless. A signal that arrives before the thread
/// runs stays pending and is taken as soon as it does.
class StopSignalWaiter
{
public:
  /// Blocks SIGINT and SIGTERM in the calling thread. Call it first thing in main.
  static void blockStopSignals();

  /// Starts the waiting thread. Call it after rclcpp::init, with the signals blocked.
  StopSignalWaiter();
  /// finish()
  ~StopSignalWaiter();

  StopSignalWaiter(const StopSignalWaiter &) = delete;
  StopSignalWaiter & operator=(const StopSignalWaiter &) = delete;

  /// Whether a stop signal has arrived; true before its shutdown begins.
  bool stopRequested() const {return stop_requested_;}

  /// Ends and joins the waiting thread; later signals stay blocked and pending.
  void finish();

private:
  void waitForSignals();

  std::atomic<bool> stop_requested_{false};
  std::atomic<bool> finishing_{false};
  std::thread thread_;
};

}  // namespace obsfeed

#endif  // APP__STOP_SIGNAL_WAITER_HPP_
