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

#ifndef RCLCPP__DETAIL__EXECUTABLE_HPP_
#define RCLCPP__DETAIL__EXECUTABLE_HPP_

#include <chrono>
#include <memory>

namespace rclcpp
{
namespace detail
{

/// What an executor runs in its callback group's turn -- a subscription's message, a timer's
/// expiry, a QoS event -- seen the same way, so that one wait serves them all.
class Executable
{
public:
  virtual ~Executable() = default;

  /// Whether work may wait now. Cheap, and safe from any thread also while others take; may
  /// say yes when take_work() then finds nothing (another thread was first).
  virtual bool has_work() = 0;

  /// Claims the waiting work, or returns null when there is none after all. Each piece of work
  /// is taken once.
  virtual std::shared_ptr<const void> take_work() = 0;

  /// Runs the callback on work from take_work(), whose ownership it takes.
  virtual void execute_work(std::shared_ptr<const void> work) = 0;

  /// When work will be waiting without anything arriving (a timer's next expiry); max() if
  /// only an arrival can bring work.
  virtual std::chrono::steady_clock::time_point next_work_time()
  {
    return std::chrono::steady_clock::time_point::max();
  }
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__EXECUTABLE_HPP_
