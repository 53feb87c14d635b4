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

#ifndef SUPPORT__MESSAGE_LOG_HPP_
#define SUPPORT__MESSAGE_LOG_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "support/eventually.hpp"

namespace obsfeed_test
{

inline std::uint32_t bitsOf(float value)
{
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

/// Every message received on one topic, in arrival order.
template<typename MessageT>
class MessageLog
{
public:
  MessageLog(
    rclcpp::Node & node, const std::string & topic, const rclcpp::QoS & qos = rclcpp::QoS(1000))
  : state_(std::make_shared<State>())
  {
    // The callback shares the state, not this object, so a late delivery never lands on a
    // destroyed log.
    auto state = state_;
    subscription_ = node.create_subscription<MessageT>(
      topic, qos,
      [state](std::shared_ptr<const MessageT> message) {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->keep && !state->keep(*message)) {
          return;
        }
        state->messages.push_back(*message);
        state->changed.notify_all();
      });
  }

  bool waitForCount(std::size_t count, std::chrono::milliseconds deadline = kDeadline) const
  {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(
      lock, deadline, [&] {return state_->messages.size() >= count;});
  }

  /// Forgets what arrived and, from now on, keeps only the messages @p keep accepts.
  void restart(std::function<bool(const MessageT &)> keep = {})
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->messages.clear();
    state_->keep = std::move(keep);
  }

  std::size_t count() const
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->messages.size();
  }

  std::vector<MessageT> messages() const
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->messages;
  }

  MessageT last() const
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->messages.back();
  }

  std::size_t publisherCount() const {return subscription_->get_publisher_count();}

private:
  struct State
  {
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<MessageT> messages;
    std::function<bool(const MessageT &)> keep;
  };
  std::shared_ptr<State> state_;
  typename rclcpp::Subscription<MessageT>::SharedPtr subscription_;
};

}  // namespace obsfeed_test

#endif  // SUPPORT__MESSAGE_LOG_HPP_
