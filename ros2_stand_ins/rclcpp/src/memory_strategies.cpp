// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/memory_strategies.hpp"

namespace rclcpp
{
namespace memory_strategies
{

memory_strategy::MemoryStrategy::SharedPtr create_default_strategy()
{
  return std::make_shared<memory_strategy::MemoryStrategy>();
}

}  // namespace memory_strategies
}  // namespace rclcpp
