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

// Checked int64 arithmetic shared by Time and Duration: they must throw instead of wrapping.

#ifndef INT64_ARITHMETIC_HPP_
#define INT64_ARITHMETIC_HPP_

#include <cstdint>
#include <stdexcept>
#include <string>

namespace rclcpp
{
namespace detail
{

/// `what` names the operation, e.g. "addition" or "time subtraction".
inline int64_t checked_add(int64_t lhs, int64_t rhs, const std::string & what)
{
  int64_t result = 0;
  if (__builtin_add_overflow(lhs, rhs, &result)) {
    if (rhs > 0) {
      throw std::overflow_error(what + " leads to int64_t overflow");
    }
    throw std::underflow_error(what + " leads to int64_t underflow");
  }
  return result;
}

inline int64_t checked_sub(int64_t lhs, int64_t rhs, const std::string & what)
{
  int64_t result = 0;
  if (__builtin_sub_overflow(lhs, rhs, &result)) {
    if (rhs < 0) {
      throw std::overflow_error(what + " leads to int64_t overflow");
    }
    throw std::underflow_error(what + " leads to int64_t underflow");
  }
  return result;
}

}  // namespace detail
}  // namespace rclcpp

#endif  // INT64_ARITHMETIC_HPP_
