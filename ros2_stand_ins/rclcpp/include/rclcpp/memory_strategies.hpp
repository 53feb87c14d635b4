// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef RCLCPP__MEMORY_STRATEGIES_HPP_
#define RCLCPP__MEMORY_STRATEGIES_HPP_

#include "rclcpp/memory_strategy.hpp"

namespace rclcpp
{
namespace memory_strategies
{

memory_strategy::MemoryStrategy::SharedPtr create_default_strategy();

}  // namespace memory_strategies
}  // namespace rclcpp

#endif  // RCLCPP__MEMORY_STRATEGIES_HPP_
