// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/executors/multi_threaded_executor.hpp"

#include <algorithm>
#include <exception>
#include <mutex>
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

  std::mutex failure_mutex;
  std::exception_ptr first_failure;
  // The first failure stops every thread, as cancel() would; it is rethrown after the join.
  auto guarded_run = [this, &failure_mutex, &first_failure]() {
      try {
        run();
      } catch (...) {
        {
          std::lock_guard<std::mutex> lock(failure_mutex);
          if (!first_failure) {
            first_failure = std::current_exception();
          }
        }
        cancel();
      }
    };

  std::vector<std::thread> threads;
  try {
    for (size_t i = 1; i < number_of_threads_; ++i) {
      threads.emplace_back(guarded_run);
    }
  } catch (...) {
    // Could not start a thread: stop the ones that did start before reporting.
    cancel();
    for (auto & thread : threads) {
      thread.join();
    }
    throw;
  }
  guarded_run();
  for (auto & thread : threads) {
    thread.join();
  }
  if (first_failure) {
    std::rethrow_exception(first_failure);
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
