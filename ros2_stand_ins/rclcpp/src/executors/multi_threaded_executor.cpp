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

#include "rclcpp/executors/multi_threaded_executor.hpp"

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <vector>

namespace rclcpp
{
namespace executors
{

MultiThreadedExecutor::MultiThreadedExecutor(
  const rclcpp::ExecutorOptions & options,
  size_t number_of_threads,
  bool yield_before_execute,
  std::chrono::nanoseconds timeout)
: rclcpp::Executor(options),
  number_of_threads_(
    number_of_threads > 0 ?
    number_of_threads :
    std::max<size_t>(std::thread::hardware_concurrency(), 2)),
  yield_before_execute_(yield_before_execute),
  next_exec_timeout_(timeout)
{}

MultiThreadedExecutor::~MultiThreadedExecutor() = default;

size_t MultiThreadedExecutor::get_number_of_threads()
{
  return number_of_threads_;
}

void MultiThreadedExecutor::spin()
{
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin() called while already spinning");
  }
  SpinningReset reset_spinning{spinning};

  // As in Humble, an exception out of a callback ends the process: on another thread it leaves
  // that thread's function, on this one it leaves spin() while the other threads still run.
  std::vector<std::thread> threads;
  for (size_t i = 1; i < number_of_threads_; ++i) {
    threads.emplace_back([this]() {run();});
  }
  run();
  for (auto & thread : threads) {
    thread.join();
  }
}

void MultiThreadedExecutor::run()
{
  while (context_is_valid() && spinning.load()) {
    AnyExecutable any_executable;
    if (!get_next_executable(any_executable, next_exec_timeout_)) {
      continue;
    }
    if (yield_before_execute_) {
      std::this_thread::yield();
    }
    execute_any_executable(any_executable);
  }
}

}  // namespace executors
}  // namespace rclcpp
