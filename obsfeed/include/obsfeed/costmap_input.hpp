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

#ifndef OBSFEED__COSTMAP_INPUT_HPP_
#define OBSFEED__COSTMAP_INPUT_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "obsfeed/input_diagnostics.hpp"
#include "obsfeed/ultrasonic_scan.hpp"
#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

namespace costmap_input
{

/// Turns the robot's ultrasonic distances and bumper contact into synthetic laser scans that a
/// navigation costmap's ordinary obstacle layers can consume, and reports every ultrasonic
/// sensor to the robot's diagnosis service.
///
/// The ultrasonic pipeline runs in its own mutually exclusive callback group, the bumper
/// pipeline in the node's default group, so a slow diagnosis call never delays a bumper scan.
/// Once a second the node publishes the health of both inputs on "/diagnostics".
class CostmapInput : public rclcpp::Node
{
public:
  /// Brings both pipelines up and reports the calibration status; throws if any step fails
  /// (for example a parameter override of the wrong type or an unusable scan geometry).
  explicit CostmapInput(std::string node_name);
  /// The node "costmap_input" built with a component container's options (its remappings,
  /// parameters and namespace), as `ros2 component load obsfeed costmap_input::CostmapInput`
  /// asks for it.
  explicit CostmapInput(const rclcpp::NodeOptions & options);
  ~CostmapInput() override;

  /// The level named by SPDLOG_LEVEL in any letter case ("off" included), 2 (info) otherwise.
  int GetSpdlogEffectiveLevel();

  void ultrasonicInit();
  void ultrasonicCallback(std::shared_ptr<std_msgs::msg::UInt16MultiArray> msg);
  /// Replaces the four ultrasonic range limits from any of "ultrasonic.{hor,ver}_range_{min,max}"
  /// and the choice of "ultrasonic.use_inf" in @p parameters; other names are ignored. All or
  /// nothing: a limit that is not a finite double, or a use_inf that is not a bool, refuses the
  /// whole call and stores nothing. The node's set-parameters hook, so a value set at run time
  /// takes effect for the next reading.
  rcl_interfaces::msg::SetParametersResult dynamicParametersCallback(
    std::vector<rclcpp::Parameter> parameters);

  void bumperInit();
  void bumperCallback(std::shared_ptr<const quorvex_protocol::msg::RobotInfoLevelZero> msg);

  /// The "/diagnostics" publisher and its timer; needs both pipelines in place.
  void diagnosticsInit();
  /// One status per ultrasonic sensor and one for the bumper input, on "/diagnostics".
  void publishDiagnostics();

private:
  CostmapInput(const std::string & node_name, const rclcpp::NodeOptions & options);

  void publishUltrasonicScan(std::size_t index, std::uint16_t raw);
  /// With use_inf, publishes one NaN scan for each sensor that has gone without a usable
  /// reading for longer than the stale timeout since its last usable reading (or start-up).
  void retireStaleUltrasonicScans();
  /// Sensor @p index's geometry with the range limits and use_inf in force, read together.
  std::pair<UltrasonicGeometry, NoReturnAs> ultrasonicScanSettings(std::size_t index);

  bool debug_{false};
  int log_level_{2};

  // The four range limits change at run time; each is read and written under range_mutex_, so
  // that a scan never mixes an old minimum with a new maximum. The geometry is fixed once the
  // constructor returns.
  double hor_range_min_;
  double hor_range_max_;
  double hor_field_of_view_;
  double hor_safe_angle_;
  double hor_sample_ratio_;
  double ver_range_min_;
  double ver_range_max_;
  double ver_field_of_view_;
  double ver_safe_angle_;
  double ver_sample_ratio_;
  // How a reading without a return is published; set at run time like the limits, under
  // range_mutex_.
  bool use_inf_{false};
  std::mutex range_mutex_;
  rclcpp::CallbackGroup::SharedPtr ultrasonic_callback_group_;
  rclcpp::Subscription<std_msgs::msg::UInt16MultiArray>::SharedPtr ultrasonic_sub_;
  std::vector<std::string> device_pose_;
  std::vector<rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr> ultrasonic_pubs_;
  // What a sensor's scans need beyond the reading, prepared once so that a reading costs no
  // formatting and no allocation: its name for diagnosis reports, its direction, and the scan it
  // publishes, which keeps its frame and the storage of its rays from one reading to the next.
  // Touched only in ultrasonic_callback_group_ (readings and the stale timer), which never runs
  // two callbacks at once; also when its last scan from a reading went out, and whether its NaN
  // scan has gone out since.
  struct UltrasonicSensor
  {
    std::string sensor_id;
    bool vertical{false};
    sensor_msgs::msg::LaserScan scan;
    std::chrono::steady_clock::time_point last_usable_reading;
    bool stale_scan_sent{false};
  };
  std::vector<UltrasonicSensor> ultrasonic_sensors_;
  std::chrono::nanoseconds stale_timeout_{};
  rclcpp::TimerBase::SharedPtr stale_timer_;

  rclcpp::Subscription<quorvex_protocol::msg::RobotInfoLevelZero>::SharedPtr bumper_sub_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr bumper_pub_;

  std::unique_ptr<InputDiagnostics> diagnostics_;
  rclcpp::Publisher<diagnostic_msgs::msg::DiagnosticArray>::SharedPtr diagnostics_pub_;
  rclcpp::TimerBase::SharedPtr diagnostics_timer_;

  // Declared last so it is released first: no parameter set reaches a half-destroyed node.
  rclcpp::node_interfaces::OnSetParametersCallbackHandle::SharedPtr set_parameters_handle_;
};

}  // namespace costmap_input

#endif  // OBSFEED__COSTMAP_INPUT_HPP_
