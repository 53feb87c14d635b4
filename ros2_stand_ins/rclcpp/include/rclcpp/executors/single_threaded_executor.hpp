// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_
#define RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_

#include "rclcpp/executor.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{
namespace executors
{

/// Runs every callback on the thread that calls spin().
class SingleThreadedExecutor : public rclcpp::Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(SingleThreadedExecutor)

  explicit SingleThreadedExecutor(
    const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions());
  ~SingleThreadedExecutor() override;

  /// Throws std::runtime_error if already spinning; an exception from a callback ends spin().
  void spin() override;
};

}  // namespace executors
}  // namespace rclcpp

#endif  // RCLCPP__EXECUTORS__SINGLE_THREADED_EXECUTOR_HPP_
