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

#include <fmt/format.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "obsfeed/costmap_input.hpp"
#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex/logger.hpp"
#include "quorvex_lumidra_diagnosis/diagnosis.hpp"

namespace costmap_input
{

namespace
{

const char kReporterName[] = "costmap_input_node";

void throwOnFault(const std::optional<std::string> & fault)
{
  if (fault) {
    throw rclcpp::exceptions::InvalidParameterValueException(*fault);
  }
}

// What rclcpp's RCL_SYSTEM_TIME clock reads (the same CLOCK_REALTIME), without building a clock
// object for every readings array.
rclcpp::Time systemClockStamp()
{
  return rclcpp::Time(
    std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::system_clock::now().time_since_epoch()).count(), RCL_SYSTEM_TIME);
}

}  // namespace

void CostmapInput::ultrasonicInit()
{
  ultrasonic_callback_group_ =
    create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, true);
  rclcpp::SubscriptionOptions options;
  options.callback_group = ultrasonic_callback_group_;
  // History, depth and reliability from the topic's "qos_overrides." parameters, given at
  // start-up: the node then hears a driver that publishes best effort.
  options.qos_overriding_options = rclcpp::QosOverridingOptions::with_default_policies();
  ultrasonic_sub_ = create_subscription<std_msgs::msg::UInt16MultiArray>(
    "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(1),
    std::bind(&CostmapInput::ultrasonicCallback, this, std::placeholders::_1), options);

  // Nothing else runs before construction has ended: the geometry needs no lock.
  get_parameter("ultrasonic.hor_field_of_view", hor_field_of_view_);
  get_parameter("ultrasonic.hor_safe_angle", hor_safe_angle_);
  get_parameter("ultrasonic.hor_sample_ratio", hor_sample_ratio_);
  get_parameter("ultrasonic.ver_field_of_view", ver_field_of_view_);
  get_parameter("ultrasonic.ver_safe_angle", ver_safe_angle_);
  get_parameter("ultrasonic.ver_sample_ratio", ver_sample_ratio_);
  get_parameter("ultrasonic.device_pose", device_pose_);
  // Checked once here rather than per reading: a bad geometry would break every scan.
  throwOnFault(
    ultrasonicGeometryFault(
      "ultrasonic.hor_", hor_field_of_view_, hor_safe_angle_, hor_sample_ratio_));
  throwOnFault(
    ultrasonicGeometryFault(
      "ultrasonic.ver_", ver_field_of_view_, ver_safe_angle_, ver_sample_ratio_));
  // The start-up range limits take the road, and the check, of a set at run time.
  const auto limits = dynamicParametersCallback(
    get_parameters(
      {"ultrasonic.hor_range_min", "ultrasonic.hor_range_max", "ultrasonic.ver_range_min",
        "ultrasonic.ver_range_max", "ultrasonic.use_inf"}));
  if (!limits.successful) {
    throw rclcpp::exceptions::InvalidParameterValueException(limits.reason);
  }
  double stale_timeout = 0.0;
  get_parameter("ultrasonic.stale_timeout", stale_timeout);
  // The descriptor's range refuses everything else but lets NaN through.
  if (std::isnan(stale_timeout)) {
    throw rclcpp::exceptions::InvalidParameterValueException(
            fmt::format(
              "parameter 'ultrasonic.stale_timeout' has invalid value {}: the timeout must be a "
              "number of seconds", stale_timeout));
  }
  stale_timeout_ = std::chrono::duration_cast<std::chrono::nanoseconds>(
    std::chrono::duration<double>(stale_timeout));

  rclcpp::PublisherOptions publisher_options;
  publisher_options.qos_overriding_options = rclcpp::QosOverridingOptions::with_default_policies();
  for (std::size_t n = 1; n <= device_pose_.size(); ++n) {
    ultrasonic_pubs_.push_back(
      create_publisher<sensor_msgs::msg::LaserScan>(
        ultrasonicTopic(n), rclcpp::QoS(1), publisher_options));
  }
  // A driver that never sends goes stale a timeout after start-up: a costmap may still hold the
  // last scan of this node's previous run.
  const auto start = std::chrono::steady_clock::now();
  ultrasonic_sensors_.resize(device_pose_.size());
  for (std::size_t index = 0; index < device_pose_.size(); ++index) {
    UltrasonicSensor & sensor = ultrasonic_sensors_[index];
    sensor.sensor_id = ultrasonicSensorId(index + 1);
    sensor.vertical = isVerticalMount(device_pose_[index]);
    sensor.scan.header.frame_id = ultrasonicFrameId(index + 1);
    sensor.last_usable_reading = start;
  }
  if (!device_pose_.empty()) {
    // Ten looks per timeout: a NaN scan goes out at most a tenth of the timeout late. In the
    // readings' group, so that it never runs beside them.
    stale_timer_ = create_wall_timer(
      stale_timeout_ / 10, [this]() {retireStaleUltrasonicScans();}, ultrasonic_callback_group_);
    // Asleep without use_inf: nothing to look for, and no wake-ups of the executor for nothing.
    std::lock_guard<std::mutex> lock(range_mutex_);
    if (!use_inf_) {
      stale_timer_->cancel();
    }
  }

  // rclcpp has refused wrong types and the start-up-only parameters before the hook runs.
  set_parameters_handle_ = add_on_set_parameters_callback(
    std::bind(&CostmapInput::dynamicParametersCallback, this, std::placeholders::_1));
}

void CostmapInput::ultrasonicCallback(std::shared_ptr<std_msgs::msg::UInt16MultiArray> msg)
{
  diagnostics_->recordReadings(msg->data, InputDiagnostics::Clock::now());
  if (msg->data.size() != device_pose_.size()) {
    LOG_ERROR("input data not match");
    return;
  }
  std_msgs::msg::Header report_header;
  for (std::size_t i = 0; i < msg->data.size(); ++i) {
    const std::uint16_t raw = msg->data[i];
    if (raw != kReadingWithoutReport) {
      report_header.stamp = systemClockStamp();
      Diagnosis::getInstance().SensorReportWithHeader(
        kReporterName, ultrasonic_sensors_[i].sensor_id, report_header);
      if (raw == kReadingWithoutScan) {
        continue;
      }
    }
    publishUltrasonicScan(i, raw);
  }
}

std::pair<UltrasonicGeometry, NoReturnAs> CostmapInput::ultrasonicScanSettings(std::size_t index)
{
  const bool vertical = ultrasonic_sensors_[index].vertical;
  UltrasonicGeometry geometry;
  geometry.field_of_view = vertical ? ver_field_of_view_ : hor_field_of_view_;
  geometry.safe_angle = vertical ? ver_safe_angle_ : hor_safe_angle_;
  geometry.sample_ratio = vertical ? ver_sample_ratio_ : hor_sample_ratio_;
  std::lock_guard<std::mutex> lock(range_mutex_);
  geometry.range_min = vertical ? ver_range_min_ : hor_range_min_;
  geometry.range_max = vertical ? ver_range_max_ : hor_range_max_;
  return {geometry, use_inf_ ? NoReturnAs::kInfinity : NoReturnAs::kFarRange};
}

void CostmapInput::publishUltrasonicScan(std::size_t index, std::uint16_t raw)
{
  UltrasonicSensor & sensor = ultrasonic_sensors_[index];
  // A clock reading of its own, apart from the report's.
  sensor.scan.header.stamp = systemClockStamp();
  const auto [geometry, no_return] = ultrasonicScanSettings(index);
  fillUltrasonicScan(geometry, raw, sensor.scan, no_return);
  // Published from the sensor's own scan: rclcpp serializes it before publish returns and keeps
  // no reference to it.
  ultrasonic_pubs_[index]->publish(sensor.scan);
  sensor.last_usable_reading = std::chrono::steady_clock::now();
  sensor.stale_scan_sent = false;
}

void CostmapInput::retireStaleUltrasonicScans()
{
  {
    std::lock_guard<std::mutex> lock(range_mutex_);
    if (!use_inf_) {
      return;
    }
  }
  const auto now = std::chrono::steady_clock::now();
  for (std::size_t index = 0; index < ultrasonic_sensors_.size(); ++index) {
    UltrasonicSensor & sensor = ultrasonic_sensors_[index];
    if (sensor.stale_scan_sent || now - sensor.last_usable_reading <= stale_timeout_) {
      continue;
    }
    const auto [geometry, no_return] = ultrasonicScanSettings(index);
    // Without use_inf nothing changes on the wire; a sensor still silent when it is switched
    // on gets its NaN scan then.
    if (no_return != NoReturnAs::kInfinity) {
      return;
    }
    sensor.scan.header.stamp = systemClockStamp();
    fillStaleUltrasonicScan(geometry, sensor.scan);
    ultrasonic_pubs_[index]->publish(sensor.scan);
    sensor.stale_scan_sent = true;
    LOG_WARN(
      "ultrasonic sensor {0:d} has had no usable reading for {1:.3f} s: published a scan of NaN",
      index + 1, std::chrono::duration<double>(now - sensor.last_usable_reading).count());
  }
}

rcl_interfaces::msg::SetParametersResult CostmapInput::dynamicParametersCallback(
  std::vector<rclcpp::Parameter> parameters)
{
  rcl_interfaces::msg::SetParametersResult result;
  result.successful = false;

  std::lock_guard<std::mutex> lock(range_mutex_);
  auto limit_named = [this](const std::string & name) -> double * {
      if (name == "ultrasonic.ver_range_min") {return &ver_range_min_;}
      if (name == "ultrasonic.ver_range_max") {return &ver_range_max_;}
      if (name == "ultrasonic.hor_range_min") {return &hor_range_min_;}
      if (name == "ultrasonic.hor_range_max") {return &hor_range_max_;}
      return nullptr;
    };

  // Check everything before storing anything, so a refused call leaves the limits as they were.
  for (const rclcpp::Parameter & parameter : parameters) {
    if (parameter.get_name() == "ultrasonic.use_inf" &&
      parameter.get_type() != rclcpp::ParameterType::PARAMETER_BOOL)
    {
      result.reason = fmt::format(
        "parameter 'ultrasonic.use_inf' must be a bool, not {}",
        rclcpp::to_string(parameter.get_type()));
      return result;
    }
    if (limit_named(parameter.get_name()) == nullptr) {
      continue;
    }
    if (parameter.get_type() != rclcpp::ParameterType::PARAMETER_DOUBLE) {
      result.reason = fmt::format(
        "parameter '{}' must be a double, not {}", parameter.get_name(),
        rclcpp::to_string(parameter.get_type()));
      return result;
    }
    if (auto fault = ultrasonicRangeLimitFault(parameter.get_name(), parameter.as_double())) {
      result.reason = *fault;
      return result;
    }
  }
  for (const rclcpp::Parameter & parameter : parameters) {
    double * limit = limit_named(parameter.get_name());
    if (limit != nullptr) {
      *limit = parameter.as_double();
    } else if (parameter.get_name() == "ultrasonic.use_inf") {
      use_inf_ = parameter.as_bool();
      // Not there yet while the start-up values are stored.
      if (stale_timer_) {
        if (use_inf_) {
          stale_timer_->reset();
        } else {
          stale_timer_->cancel();
        }
      }
    }
  }
  result.successful = true;
  return result;
}

}  // namespace costmap_input
