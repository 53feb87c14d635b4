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

#include "rclcpp/detail/incompatible_qos_event.hpp"

#include <utility>

#include "rcutils/logging_macros.h"

namespace rclcpp
{
namespace detail
{
namespace
{

/// The policy as Humble's warning names it.
const char * warning_name(QosPolicyKind kind)
{
  switch (kind) {
    case QosPolicyKind::Durability: return "DURABILITY_QOS_POLICY";
    case QosPolicyKind::Deadline: return "DEADLINE_QOS_POLICY";
    case QosPolicyKind::Liveliness: return "LIVELINESS_QOS_POLICY";
    case QosPolicyKind::Reliability: return "RELIABILITY_QOS_POLICY";
    case QosPolicyKind::History: return "HISTORY_QOS_POLICY";
    case QosPolicyKind::Lifespan: return "LIFESPAN_QOS_POLICY";
    default: return "INVALID_QOS_POLICY";
  }
}

}  // namespace

IncompatibleQosEvent::IncompatibleQosEvent(
  std::string logger_name, std::string topic_name, Side side, std::function<void()> on_ready)
: logger_name_(std::move(logger_name)), topic_name_(std::move(topic_name)), side_(side),
  on_ready_(std::move(on_ready))
{}

IncompatibleQosHandler IncompatibleQosEvent::handler_for(
  const std::shared_ptr<IncompatibleQosEvent> & event)
{
  if (!event) {
    return nullptr;
  }
  return [weak_event = std::weak_ptr<IncompatibleQosEvent>(event)](QosPolicyKind kind) {
           if (auto event = weak_event.lock()) {
             event->report(kind);
           }
         };
}

void IncompatibleQosEvent::report(QosPolicyKind last_policy_kind)
{
  pending_policy_.store(static_cast<int>(last_policy_kind));
  if (on_ready_) {
    on_ready_();
  }
}

bool IncompatibleQosEvent::has_work()
{
  return pending_policy_.load() != 0;
}

std::shared_ptr<const void> IncompatibleQosEvent::take_work()
{
  const int policy = pending_policy_.exchange(0);
  if (policy == 0) {
    return nullptr;
  }
  return std::make_shared<const QosPolicyKind>(static_cast<QosPolicyKind>(policy));
}

void IncompatibleQosEvent::execute_work(std::shared_ptr<const void> work)
{
  const char * policy = warning_name(*static_cast<const QosPolicyKind *>(work.get()));
  if (side_ == Side::Publisher) {
    RCUTILS_LOG_WARN_NAMED(
      logger_name_.c_str(),
      "New subscription discovered on topic '%s', requesting incompatible QoS. "
      "No messages will be sent to it. Last incompatible policy: %s",
      topic_name_.c_str(), policy);
  } else {
    RCUTILS_LOG_WARN_NAMED(
      logger_name_.c_str(),
      "New publisher discovered on topic '%s', offering incompatible QoS. "
      "No messages will be sent to it. Last incompatible policy: %s",
      topic_name_.c_str(), policy);
  }
}

}  // namespace detail
}  // namespace rclcpp
