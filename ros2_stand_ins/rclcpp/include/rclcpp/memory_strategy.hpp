// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef RCLCPP__MEMORY_STRATEGY_HPP_
#define RCLCPP__MEMORY_STRATEGY_HPP_

#include <memory>

#include "rclcpp/macros.hpp"

namespace rclcpp
{
namespace memory_strategy
{

/// How an executor allocates its bookkeeping. Executors here need no custom allocation, so the
/// strategy carries no behaviour; it exists so that ExecutorOptions reads as it does in Humble.
class MemoryStrategy
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(MemoryStrategy)

  virtual ~MemoryStrategy() = default;
};

}  // namespace memory_strategy
}  // namespace rclcpp

#endif  // RCLCPP__MEMORY_STRATEGY_HPP_
