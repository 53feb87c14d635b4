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

#ifndef RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
#define RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_

#include <chrono>
#include <cstddef>

#include "rclcpp/executor.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{
namespace executors
{

/// Runs callbacks on a pool of threads: the thread that calls spin() and the ones spin() starts
/// and joins. Callbacks of different groups (and of one reentrant group) run in parallel.
class MultiThreadedExecutor : public rclcpp::Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(MultiThreadedExecutor)

  /// `number_of_threads` 0 means the hardware concurrency, at least 2. `timeout` bounds each
  /// thread's wait for work (negative: no limit); it does not end spin().
  explicit MultiThreadedExecutor(
    const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions(),
    size_t number_of_threads = 0,
    bool yield_before_execute = false,
    std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));
  ~MultiThreadedExecutor() override;

  /// Throws std::runtime_error if already spinning. A callback that throws ends the process
  /// (std::terminate), as in Humble.
  void spin() override;

  size_t get_number_of_threads();

private:
  /// One thread's loop.
  void run();

  size_t number_of_threads_;
  bool yield_before_execute_;
  std::chrono::nanoseconds next_exec_timeout_;
};

}  // namespace executors
}  // namespace rclcpp

#endif  // RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
