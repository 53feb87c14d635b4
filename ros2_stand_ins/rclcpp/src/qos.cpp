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

#include "rclcpp/qos.hpp"

#include <stdexcept>

namespace rclcpp
{
namespace
{

/// Humble keeps these durations as rmw times, which cannot be negative.
const rclcpp::Duration & as_rmw_time(const rclcpp::Duration & duration)
{
  if (duration.nanoseconds() < 0) {
    throw std::runtime_error("rmw_time_t cannot be negative");
  }
  return duration;
}

}  // namespace

std::string qos_policy_name(HistoryPolicy policy)
{
  switch (policy) {
    case HistoryPolicy::SystemDefault: return "system_default";
    case HistoryPolicy::KeepLast: return "keep_last";
    case HistoryPolicy::KeepAll: return "keep_all";
    default: return "unknown";
  }
}

std::string qos_policy_name(ReliabilityPolicy policy)
{
  switch (policy) {
    case ReliabilityPolicy::SystemDefault: return "system_default";
    case ReliabilityPolicy::Reliable: return "reliable";
    case ReliabilityPolicy::BestEffort: return "best_effort";
    default: return "unknown";
  }
}

std::string qos_policy_name(DurabilityPolicy policy)
{
  switch (policy) {
    case DurabilityPolicy::SystemDefault: return "system_default";
    case DurabilityPolicy::TransientLocal: return "transient_local";
    case DurabilityPolicy::Volatile: return "volatile";
    default: return "unknown";
  }
}

std::string qos_policy_name(LivelinessPolicy policy)
{
  switch (policy) {
    case LivelinessPolicy::SystemDefault: return "system_default";
    case LivelinessPolicy::Automatic: return "automatic";
    case LivelinessPolicy::ManualByTopic: return "manual_by_topic";
    default: return "unknown";
  }
}

QoSInitialization::QoSInitialization(HistoryPolicy history_policy_arg, size_t depth_arg)
: history_policy(history_policy_arg), depth(depth_arg)
{}

KeepAll::KeepAll()
: QoSInitialization(HistoryPolicy::KeepAll, 0)
{}

KeepLast::KeepLast(size_t depth)
: QoSInitialization(HistoryPolicy::KeepLast, depth)
{}

QoS::QoS(const QoSInitialization & qos_initialization)
: history_(qos_initialization.history_policy), depth_(qos_initialization.depth)
{}

QoS::QoS(size_t history_depth)
: QoS(KeepLast(history_depth))
{}

QoS & QoS::history(HistoryPolicy history)
{
  history_ = history;
  return *this;
}

QoS & QoS::keep_last(size_t depth)
{
  history_ = HistoryPolicy::KeepLast;
  depth_ = depth;
  return *this;
}

QoS & QoS::keep_all()
{
  history_ = HistoryPolicy::KeepAll;
  depth_ = 0;
  return *this;
}

QoS & QoS::reliability(ReliabilityPolicy reliability)
{
  reliability_ = reliability;
  return *this;
}

QoS & QoS::reliable()
{
  return reliability(ReliabilityPolicy::Reliable);
}

QoS & QoS::best_effort()
{
  return reliability(ReliabilityPolicy::BestEffort);
}

QoS & QoS::durability(DurabilityPolicy durability)
{
  durability_ = durability;
  return *this;
}

QoS & QoS::durability_volatile()
{
  return durability(DurabilityPolicy::Volatile);
}

QoS & QoS::transient_local()
{
  return durability(DurabilityPolicy::TransientLocal);
}

QoS & QoS::deadline(const rclcpp::Duration & deadline)
{
  deadline_ = as_rmw_time(deadline);
  return *this;
}

QoS & QoS::lifespan(const rclcpp::Duration & lifespan)
{
  lifespan_ = as_rmw_time(lifespan);
  return *this;
}

QoS & QoS::liveliness(LivelinessPolicy liveliness)
{
  liveliness_ = liveliness;
  return *this;
}

QoS & QoS::liveliness_lease_duration(const rclcpp::Duration & liveliness_lease_duration)
{
  liveliness_lease_duration_ = as_rmw_time(liveliness_lease_duration);
  return *this;
}

QoS & QoS::avoid_ros_namespace_conventions(bool avoid_ros_namespace_conventions)
{
  avoid_ros_namespace_conventions_ = avoid_ros_namespace_conventions;
  return *this;
}

HistoryPolicy QoS::history() const {return history_;}
size_t QoS::depth() const {return depth_;}
ReliabilityPolicy QoS::reliability() const {return reliability_;}
DurabilityPolicy QoS::durability() const {return durability_;}
rclcpp::Duration QoS::deadline() const {return deadline_;}
rclcpp::Duration QoS::lifespan() const {return lifespan_;}
LivelinessPolicy QoS::liveliness() const {return liveliness_;}
rclcpp::Duration QoS::liveliness_lease_duration() const {return liveliness_lease_duration_;}
bool QoS::avoid_ros_namespace_conventions() const {return avoid_ros_namespace_conventions_;}

bool QoS::operator==(const QoS & rhs) const
{
  return history_ == rhs.history_ && depth_ == rhs.depth_ &&
         reliability_ == rhs.reliability_ && durability_ == rhs.durability_ &&
         deadline_ == rhs.deadline_ && lifespan_ == rhs.lifespan_ &&
         liveliness_ == rhs.liveliness_ &&
         liveliness_lease_duration_ == rhs.liveliness_lease_duration_ &&
         avoid_ros_namespace_conventions_ == rhs.avoid_ros_namespace_conventions_;
}

bool QoS::operator!=(const QoS & rhs) const
{
  return !(*this == rhs);
}

SensorDataQoS::SensorDataQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization)
{
  best_effort();
}

ParametersQoS::ParametersQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization)
{}

ServicesQoS::ServicesQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization)
{}

ParameterEventsQoS::ParameterEventsQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization)
{}

SystemDefaultsQoS::SystemDefaultsQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization)
{
  reliability(ReliabilityPolicy::SystemDefault);
  durability(DurabilityPolicy::SystemDefault);
}

ClockQoS::ClockQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization)
{
  best_effort();
}

}  // namespace rclcpp
