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

#ifndef OBSFEED_DEMO__BACKGROUND_SPINNER_HPP_
#define OBSFEED_DEMO__BACKGROUND_SPINNER_HPP_

#include <atomic>
#include <thread>

#include "rclcpp/rclcpp.hpp"

namespace obsfeed_demo
{

/// Spins a node on a thread of its own for as long as this object lives, so that the thread
/// that owns it may block while waiting for what the node receives.
class BackgroundSpinner
{
public:
  explicit BackgroundSpinner(const rclcpp::Node::SharedPtr & node);
  ~BackgroundSpinner();

  BackgroundSpinner(const BackgroundSpinner &) = delete;
  BackgroundSpinner & operator=(const BackgroundSpinner &) = delete;

private:
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::atomic<bool> spun_{false};
  std::thread thread_;
};

}  // namespace obsfeed_demo

#endif  // OBSFEED_DEMO__BACKGROUND_SPINNER_HPP_
