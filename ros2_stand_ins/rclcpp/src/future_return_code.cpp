// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/future_return_code.hpp"

#include <ostream>
#include <type_traits>

namespace rclcpp
{

std::ostream & operator<<(std::ostream & os, const FutureReturnCode & future_return_code)
{
  return os << to_string(future_return_code);
}

std::string to_string(const FutureReturnCode & future_return_code)
{
  using EnumType = std::underlying_type<FutureReturnCode>::type;
  std::string prefix = "Unknown enum value (";
  switch (future_return_code) {
    case FutureReturnCode::SUCCESS:
      prefix = "SUCCESS (";
      break;
    case FutureReturnCode::INTERRUPTED:
      prefix = "INTERRUPTED (";
      break;
    case FutureReturnCode::TIMEOUT:
      prefix = "TIMEOUT (";
      break;
  }
  return prefix + std::to_string(static_cast<EnumType>(future_return_code)) + ")";
}

}  // namespace rclcpp
