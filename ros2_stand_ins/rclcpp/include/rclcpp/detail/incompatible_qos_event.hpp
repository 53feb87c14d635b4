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

#ifndef RCLCPP__DETAIL__INCOMPATIBLE_QOS_EVENT_HPP_
#define RCLCPP__DETAIL__INCOMPATIBLE_QOS_EVENT_HPP_

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "rclcpp/detail/executable.hpp"
#include "rclcpp/detail/transport.hpp"
#include "rclcpp/qos_overriding_options.hpp"

namespace rclcpp
{
namespace detail
{

/// Tells about peers whose QoS does not fit a publisher's or subscription's, as Humble does for
/// an entity without an event callback: one warning of the node's logger each time the
/// executor serves the event in the entity's callback group, naming the last policy found
/// incompatible. Peers found before it is served make one warning, as in Humble.
class IncompatibleQosEvent : public Executable
{
public:
  enum class Side {Publisher, Subscription};

  /// `on_ready` wakes the executor of the entity's callback group.
  IncompatibleQosEvent(
    std::string logger_name, std::string topic_name, Side side, std::function<void()> on_ready);

  /// What the transport calls, from any thread, while the event lives; null for no event.
  static IncompatibleQosHandler handler_for(const std::shared_ptr<IncompatibleQosEvent> & event);

private:
  void report(QosPolicyKind last_policy_kind);

  bool has_work() override;
  std::shared_ptr<const void> take_work() override;
  void execute_work(std::shared_ptr<const void> work) override;

  const std::string logger_name_;
  const std::string topic_name_;
  const Side side_;
  const std::function<void()> on_ready_;
  // The last policy reported since the warning before; 0 when nothing waits.
  std::atomic<int> pending_policy_{0};
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__INCOMPATIBLE_QOS_EVENT_HPP_
