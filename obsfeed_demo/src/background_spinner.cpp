// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include "obsfeed_demo/background_spinner.hpp"

#include <chrono>

namespace obsfeed_demo
{

BackgroundSpinner::BackgroundSpinner(const rclcpp::Node::SharedPtr & node)
{
  executor_.add_node(node);
  thread_ = std::thread([this] {
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
