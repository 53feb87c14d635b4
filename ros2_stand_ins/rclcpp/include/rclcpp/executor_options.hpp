// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef RCLCPP__EXECUTOR_OPTIONS_HPP_
#define RCLCPP__EXECUTOR_OPTIONS_HPP_

#include <cstddef>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/memory_strategies.hpp"
#include "rclcpp/memory_strategy.hpp"

namespace rclcpp
{

/// Options common to all executors: the context whose shutdown ends spinning.
struct ExecutorOptions
{
  ExecutorOptions()
  : memory_strategy(rclcpp::memory_strategies::create_default_strategy()),
    context(rclcpp::contexts::get_global_default_context()),
    max_conditions(0)
  {}

  rclcpp::memory_strategy::MemoryStrategy::SharedPtr memory_strategy;
  rclcpp::Context::SharedPtr context;
  size_t max_conditions;
};

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTOR_OPTIONS_HPP_
