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

#ifndef RCLCPP__QOS_HPP_
#define RCLCPP__QOS_HPP_

#include <cstddef>
#include <string>

#include "rclcpp/duration.hpp"

namespace rclcpp
{

// The numeric values match rmw's, so profiles print and compare as they do on a real install.
enum class HistoryPolicy
{
  SystemDefault = 0,
  KeepLast = 1,
  KeepAll = 2,
  Unknown = 3,
};

enum class ReliabilityPolicy
{
  SystemDefault = 0,
  Reliable = 1,
  BestEffort = 2,
  Unknown = 3,
};

enum class DurabilityPolicy
{
  SystemDefault = 0,
  TransientLocal = 1,
  Volatile = 2,
  Unknown = 3,
};

enum class LivelinessPolicy
{
  SystemDefault = 0,
  Automatic = 1,
  ManualByTopic = 3,
  Unknown = 4,
};

/// The names ROS 2 gives the policy values ("keep_last", "best_effort", ...; "unknown").
std::string qos_policy_name(HistoryPolicy policy);
std::string qos_policy_name(ReliabilityPolicy policy);
std::string qos_policy_name(DurabilityPolicy policy);
std::string qos_policy_name(LivelinessPolicy policy);

/// The history part of a profile, the one thing every QoS must be given explicitly.
struct QoSInitialization
{
  HistoryPolicy history_policy;
  size_t depth;

  QoSInitialization(HistoryPolicy history_policy_arg, size_t depth_arg);
};

struct KeepAll : public QoSInitialization
{
  KeepAll();
};

struct KeepLast : public QoSInitialization
{
  explicit KeepLast(size_t depth);
};

/// A quality-of-service profile: history (keep last n or keep all), reliability, durability,
/// deadline, lifespan, liveliness and its lease, and whether the topic name skips ROS's
/// conventions. A plain depth means keep last `depth`, reliable, volatile, the rest at the
/// middleware's defaults (durations of 0: unspecified).
class QoS
{
public:
  // cppcheck-suppress noExplicitConstructor
  QoS(const QoSInitialization & qos_initialization);  // NOLINT(runtime/explicit)
  // cppcheck-suppress noExplicitConstructor
  QoS(size_t history_depth);  // NOLINT(runtime/explicit)

  QoS & history(HistoryPolicy history);
  QoS & keep_last(size_t depth);
  QoS & keep_all();
  QoS & reliability(ReliabilityPolicy reliability);
  QoS & reliable();
  QoS & best_effort();
  QoS & durability(DurabilityPolicy durability);
  QoS & durability_volatile();
  QoS & transient_local();
  QoS & deadline(const rclcpp::Duration & deadline);
  QoS & lifespan(const rclcpp::Duration & lifespan);
  QoS & liveliness(LivelinessPolicy liveliness);
  QoS & liveliness_lease_duration(const rclcpp::Duration & liveliness_lease_duration);
  QoS & avoid_ros_namespace_conventions(bool avoid_ros_namespace_conventions);

  HistoryPolicy history() const;
  size_t depth() const;
  ReliabilityPolicy reliability() const;
  DurabilityPolicy durability() const;
  rclcpp::Duration deadline() const;
  rclcpp::Duration lifespan() const;
  LivelinessPolicy liveliness() const;
  rclcpp::Duration liveliness_lease_duration() const;
  bool avoid_ros_namespace_conventions() const;

  bool operator==(const QoS & rhs) const;
  bool operator!=(const QoS & rhs) const;

private:
  HistoryPolicy history_;
  size_t depth_;
  ReliabilityPolicy reliability_ = ReliabilityPolicy::Reliable;
  DurabilityPolicy durability_ = DurabilityPolicy::Volatile;
  rclcpp::Duration deadline_{0, 0};
  rclcpp::Duration lifespan_{0, 0};
  LivelinessPolicy liveliness_ = LivelinessPolicy::SystemDefault;
  rclcpp::Duration liveliness_lease_duration_{0, 0};
  bool avoid_ros_namespace_conventions_ = false;
};

/// Keep last 5, best effort: losing an old reading is better than waiting for it.
class SensorDataQoS : public QoS
{
public:
  explicit SensorDataQoS(const QoSInitialization & qos_initialization = KeepLast(5));
};

/// Keep last 1000, reliable, volatile.
class ParametersQoS : public QoS
{
public:
  explicit ParametersQoS(const QoSInitialization & qos_initialization = KeepLast(1000));
};

/// Keep last 10, reliable, volatile.
class ServicesQoS : public QoS
{
public:
  explicit ServicesQoS(const QoSInitialization & qos_initialization = KeepLast(10));
};

/// Keep last 1000, reliable, volatile.
class ParameterEventsQoS : public QoS
{
public:
  explicit ParameterEventsQoS(const QoSInitialization & qos_initialization = KeepLast(1000));
};

/// Reliability and durability left to the middleware's default. The history is keep last with
/// the system-default depth 0 (taken as 1), since Humble's rclcpp turns a system-default history
/// into keep last.
class SystemDefaultsQoS : public QoS
{
public:
  explicit SystemDefaultsQoS(
    const QoSInitialization & qos_initialization = QoSInitialization(
      HistoryPolicy::KeepLast, 0));
};

/// Keep last 1, best effort: only the newest simulated time matters.
class ClockQoS : public QoS
{
public:
  explicit ClockQoS(const QoSInitialization & qos_initialization = KeepLast(1));
};

}  // namespace rclcpp

#endif  // RCLCPP__QOS_HPP_
