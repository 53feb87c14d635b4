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

#ifndef RCLCPP__FUTURE_RETURN_CODE_HPP_
#define RCLCPP__FUTURE_RETURN_CODE_HPP_

#include <iosfwd>
#include <string>

namespace rclcpp
{

/// How spin_until_future_complete ended.
enum class FutureReturnCode {SUCCESS, INTERRUPTED, TIMEOUT};

std::ostream & operator<<(std::ostream & os, const FutureReturnCode & future_return_code);

/// "SUCCESS (0)", "INTERRUPTED (1)", "TIMEOUT (2)".
std::string to_string(const FutureReturnCode & future_return_code);

}  // namespace rclcpp

#endif  // RCLCPP__FUTURE_RETURN_CODE_HPP_
