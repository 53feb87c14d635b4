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

#include "obsfeed_demo/background_spinner.hpp"

#include <chrono>

namespace obsfeed_demo
{

BackgroundSpinner::BackgroundSpinner(const rclcpp::Node::SharedPtr & node)
{
  executor_.add_node(node);
  thread_ = std::thread(
    [this] {
      executor_.spin();
      spun_ = true;
    });
}

BackgroundSpinner::~BackgroundSpinner()
{
  // A cancel() that comes before spin() has started is lost: repeat it until spin() returns.
  while (!spun_) {
    executor_.cancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  thread_.join();
}

}  // namespace obsfeed_demo
