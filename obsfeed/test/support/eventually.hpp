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
