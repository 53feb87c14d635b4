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

#include "rclcpp/time_source.hpp"

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "rosgraph_msgs/msg/clock.hpp"
#include "rclcpp/detail/typed_endpoint_info.hpp"

namespace rclcpp
{

struct TimeSource::State
{
  explicit State(detail::TopicEndpointInfo info)
  : clock_topic(std::move(info))
  {}

  /// Applies the newest waiting /clock message to every attached clock.
  void on_clock_message_ready()
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!subscription) {
      return;
    }
    std::shared_ptr<const void> newest;
    while (auto message = subscription->take()) {
      newest = std::move(message);
    }
    if (!newest) {
      return;
    }
    const auto & clock_msg = *std::static_pointer_cast<const rosgraph_msgs::msg::Clock>(newest);
    last_time = Time(clock_msg.clock, RCL_ROS_TIME).nanoseconds();
    apply_to_clocks();
  }

  /// mutex held.
  void apply_to_clocks() const
  {
    for (const auto & clock : clocks) {
      clock->set_ros_time_override(last_time);
      clock->enable_ros_time_override(use_sim_time);
    }
  }

  mutable std::mutex mutex;
  detail::TopicEndpointInfo clock_topic;
  bool use_sim_time = false;
  // Kept across switching simulated time off and on, as the last known simulated time.
  rcl_time_point_value_t last_time = 0;
  std::vector<Clock::SharedPtr> clocks;
  std::shared_ptr<detail::SubscriptionEndpoint> subscription;
};

TimeSource::TimeSource(const std::string & clock_topic, const rclcpp::QoS & qos)
: state_(std::make_shared<State>(
      detail::make_topic_endpoint_info<rosgraph_msgs::msg::Clock>(clock_topic, qos)))
{}

TimeSource::~TimeSource()
{
  set_use_sim_time(false);
}

void TimeSource::attachClock(rclcpp::Clock::SharedPtr clock)
{
  if (!clock || clock->get_clock_type() != RCL_ROS_TIME) {
    throw std::invalid_argument("Cannot attach clock to a time source that's not a ROS clock");
  }
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->clocks.push_back(clock);
  state_->apply_to_clocks();
}

void TimeSource::detachClock(rclcpp::Clock::SharedPtr clock)
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  auto & clocks = state_->clocks;
  auto found = std::find(clocks.begin(), clocks.end(), clock);
  if (found != clocks.end()) {
    (*found)->enable_ros_time_override(false);
    clocks.erase(found);
  }
}

void TimeSource::set_use_sim_time(bool use_sim_time)
{
  std::shared_ptr<detail::SubscriptionEndpoint> released;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (use_sim_time == state_->use_sim_time) {
      return;
    }
    state_->use_sim_time = use_sim_time;
    state_->apply_to_clocks();
    if (!use_sim_time) {
      released = std::move(state_->subscription);
      state_->subscription.reset();
    }
  }
  if (!use_sim_time) {
    return;  // `released` unsubscribes here, outside our lock.
  }
  const detail::TopicEndpointInfo clock_topic = [this]() {
      std::lock_guard<std::mutex> lock(state_->mutex);
      return state_->clock_topic;
    }();
  // Subscribing outside the lock: a transient-local publisher may deliver at once.
  std::weak_ptr<State> weak_state = state_;
  auto subscription = detail::get_transport().create_subscription(
    clock_topic, [weak_state]() {
      if (auto state = weak_state.lock()) {
        state->on_clock_message_ready();
      }
    });
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->use_sim_time) {
      return;  // switched off again meanwhile
    }
    state_->subscription = std::move(subscription);
  }
  state_->on_clock_message_ready();
}

void TimeSource::set_clock_qos(const rclcpp::QoS & qos)
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->clock_topic.qos = qos;
}

bool TimeSource::get_use_sim_time() const
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->use_sim_time;
}

}  // namespace rclcpp
