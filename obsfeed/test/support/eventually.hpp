// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__EVENTUALLY_HPP_
#define SUPPORT__EVENTUALLY_HPP_

#include <chrono>
#include <thread>

namespace obsfeed_test
{

constexpr std::chrono::seconds kDeadline{30};

/// Polls @p condition until it holds; false once @p deadline has passed first.
template<typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds deadline = kDeadline)
{
  const auto until = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace obsfeed_test

#endif  // SUPPORT__EVENTUALLY_HPP_
