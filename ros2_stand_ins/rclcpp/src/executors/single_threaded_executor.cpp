// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/executors/single_threaded_executor.hpp"

#include <stdexcept>

namespace rclcpp
{
namespace executors
{

SingleThreadedExecutor::SingleThreadedExecutor(const rclcpp::ExecutorOptions & options)
: rclcpp::Executor(options)
{}

SingleThreadedExecutor::~SingleThreadedExecutor() = default;

void SingleThreadedExecutor::spin()
{
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin() called while already spinning");
  }
  SpinningReset reset_spinning{spinning};
  while (context_is_valid() && spinning.load()) {
    AnyExecutable any_executable;
    if (get_next_executable(any_executable)) {
      execute_any_executable(any_executable);
    }
  }
}

}  // namespace executors
}  // namespace rclcpp
