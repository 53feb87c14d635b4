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

#ifndef RCLCPP__SUBSCRIPTION_BASE_HPP_
#define RCLCPP__SUBSCRIPTION_BASE_HPP_

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

#include "rclcpp/detail/executable.hpp"
#include "rclcpp/detail/transport.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp
{

/// The part of a subscription executors see: take a type-erased message, hand it to the callback.
class SubscriptionBase : public detail::Executable
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(SubscriptionBase)

  /// `on_message_ready` wakes whichever executor runs this subscription's callback group;
  /// `keep_alive` lives as long as the subscription (what info.on_incompatible_qos reports to).
  SubscriptionBase(
    const detail::TopicEndpointInfo & info, std::function<void()> on_message_ready,
    std::shared_ptr<void> keep_alive = nullptr);
  ~SubscriptionBase() override;

  SubscriptionBase(const SubscriptionBase &) = delete;
  SubscriptionBase & operator=(const SubscriptionBase &) = delete;

  /// The fully qualified topic name, after expansion and remapping.
  const char * get_topic_name() const;

  size_t get_publisher_count() const;

  /// The oldest waiting message, or nullptr; each message is taken exactly once.
  std::shared_ptr<const void> take_type_erased();

  /// Whether a message may wait: false only when none can, true may still find take() empty.
  /// Safe to call from several threads at once, also while others take.
  bool has_message() const;

  /// Runs the user callback with a message obtained from take_type_erased(), whose ownership
  /// it takes: a message nobody else holds reaches a callback that may modify it uncopied.
  virtual void handle_message(std::shared_ptr<const void> message) = 0;

  const rclcpp::QoS & get_actual_qos() const;

protected:
  using EndpointFactory =
    std::function<std::shared_ptr<detail::SubscriptionEndpoint>(std::function<void ()>)>;

  /// For entities executors serve like subscriptions whose endpoint is not a topic
  /// subscription (a service server's request queue): `open_endpoint` receives the arrival hook.
  SubscriptionBase(
    const detail::TopicEndpointInfo & info, const EndpointFactory & open_endpoint,
    std::function<void()> on_message_ready);

  detail::SubscriptionEndpoint & endpoint() const {return *endpoint_;}

private:
  bool has_work() override {return has_message();}
  std::shared_ptr<const void> take_work() override {return take_type_erased();}
  void execute_work(std::shared_ptr<const void> work) override {handle_message(std::move(work));}

  std::shared_ptr<void> keep_alive_;
  detail::TopicEndpointInfo info_;
  /// What is known of the endpoint's queue without asking it.
  enum MessageHint : int
  {
    kNoMessage,     // empty since it was last asked or taken from
    kMaybeMessage,  // a message was taken, more may wait behind it: ask
    kMessage,       // a message arrived (or was seen) since: no need to ask
  };
  // Set by every message arrival, cleared when take() finds nothing: tells whether a message may
  // wait even for endpoints that cannot say. Shared with the arrival hook, which the transport
  // may still run while this object is being destroyed.
  std::shared_ptr<std::atomic<int>> message_hint_;
  std::shared_ptr<detail::SubscriptionEndpoint> endpoint_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_BASE_HPP_
