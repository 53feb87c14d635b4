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

#include <chrono>
#include <csignal>
#include <memory>

#include "obsfeed/costmap_input.hpp"
#include "quorvex/logger.hpp"
#include "rclcpp/rclcpp.hpp"
#include "stop_signal_waiter.hpp"

// A node that cannot come up must end the process loudly (abort) so that the robot's
// supervisor restarts it and the failure shows in its records. The one exception is a stop
// request that arrives while the node is still being built: the shutdown it causes makes the
// next entity creation throw, and a supervisor that asked for a stop expects status 0.
int main(int argc, char ** argv)
{
  // A log reader that goes away must not kill the node: a write to its closed pipe just fails
  // (and the logger goes on). A choice for the whole process, so the program's to make.
  std::signal(SIGPIPE, SIG_IGN);
  // Before rclcpp::init starts any thread, so that every thread inherits the mask.
  obsfeed::StopSignalWaiter::blockStopSignals();
  rclcpp::init(
    argc, argv, rclcpp::InitOptions(rcutils_get_default_allocator()),
    rclcpp::SignalHandlerOptions::All);
  obsfeed::StopSignalWaiter stop_signals;
  // Created before the node so that the whole process logs under this name.
  quorvex::Logger::Instance("costmap_input");

  std::shared_ptr<costmap_input::CostmapInput> node;
  std::shared_ptr<rclcpp::executors::MultiThreadedExecutor> executor;
  try {
    node = std::make_shared<costmap_input::CostmapInput>("costmap_input");
    // Eight threads so that the ultrasonic and bumper pipelines never wait for each other; an
    // unbounded wait because there is no periodic work.
    executor = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(
      rclcpp::ExecutorOptions(), 8, true, std::chrono::nanoseconds(-1));
    executor->add_node(node, true);
  } catch (...) {
    // The executor takes part: it cannot be made on a context that is already shut down.
    if (!stop_signals.stopRequested()) {
      throw;
    }
    return 0;
  }
  executor->spin();

  rclcpp::shutdown(nullptr, "user called rclcpp::shutdown()");
  stop_signals.finish();
  executor.reset();
  node.reset();
  return 0;
}
