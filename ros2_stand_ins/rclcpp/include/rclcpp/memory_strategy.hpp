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
