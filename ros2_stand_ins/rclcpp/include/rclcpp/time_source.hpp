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

#ifndef RCLCPP__TIME_SOURCE_HPP_
#define RCLCPP__TIME_SOURCE_HPP_

#include <memory>
#include <string>

#include "rclcpp/clock.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"

namespace rclcpp
{

/// Drives ROS-time clocks from simulated time.
///
/// While simulated time is in use, the source subscribes to the clock topic through the transport
/// and every attached ROS-time clock reads the last received value (0 before the first one).
/// Messages are applied the moment they arrive, independently of any executor, so a node's clock
/// moves even while no one spins the node. The node ties this to its "use_sim_time" parameter.
class TimeSource
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(TimeSource)

  explicit TimeSource(
    const std::string & clock_topic = "/clock",
    const rclcpp::QoS & qos = rclcpp::ClockQoS());
  ~TimeSource();

  TimeSource(const TimeSource &) = delete;
  TimeSource & operator=(const TimeSource &) = delete;

  /// Only ROS-time clocks can follow simulated time; throws std::invalid_argument for others.
  void attachClock(rclcpp::Clock::SharedPtr clock);
  void detachClock(rclcpp::Clock::SharedPtr clock);

  /// Starts or stops following the clock topic.
  void set_use_sim_time(bool use_sim_time);
  /// The clock subscription's QoS from the next time simulated time is switched on.
  void set_clock_qos(const rclcpp::QoS & qos);
  bool get_use_sim_time() const;

  struct State;

private:
  std::shared_ptr<State> state_;
};

}  // namespace rclcpp

#endif  // RCLCPP__TIME_SOURCE_HPP_
