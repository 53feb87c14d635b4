// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
