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

#ifndef OBSFEED_DEMO__COSTMAP_SESSION_HPP_
#define OBSFEED_DEMO__COSTMAP_SESSION_HPP_

#include <Eigen/Geometry>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lifecycle_msgs/srv/change_state.hpp"
#include "nav2_msgs/srv/clear_entire_costmap.hpp"
#include "nav_msgs/msg/occupancy_grid.hpp"
#include "obsfeed_demo/robot_layout.hpp"
#include "rclcpp/rclcpp.hpp"
#include "tf2_ros/static_transform_broadcaster.h"

namespace obsfeed_demo
{

/// The lethal cells of one costmap grid, by their centres in the grid's frame.
struct LethalCells
{
  double resolution = 0.0;
  std::vector<Eigen::Vector2d> centres;
};

/// Nav2's standalone costmap program (lifecycle node /costmap/costmap) fed by obsfeed's scans,
/// seen from a node of ours: we publish the sensor frames of a layout, bring the costmap up and
/// read its grid. The node must be spun by the caller (a background executor) while this lives.
class CostmapSession
{
public:
  CostmapSession(const rclcpp::Node::SharedPtr & node, const RobotLayout & layout);

  /// The arguments that start the costmap program with @p params_files (later files win) and
  /// the layout's footprint.
  static std::vector<std::string> programArguments(
    const std::vector<std::string> & params_files, const RobotLayout & layout);

  /// Configures and activates the costmap; throws std::runtime_error if it refuses or does not
  /// answer within @p timeout.
  void bringUp(std::chrono::seconds timeout);

  /// How many grids have arrived so far.
  std::uint64_t gridsSeen() const;
  /// The newest grid once more than @p seen grids have arrived; throws std::runtime_error if
  /// none does within @p timeout.
  LethalCells gridAfter(std::uint64_t seen, std::chrono::milliseconds timeout) const;

  /// Resets every layer, as Nav2's clear-costmap recovery does.
  void clearEntirely(std::chrono::seconds timeout);

private:
  void onGrid(const nav_msgs::msg::OccupancyGrid & grid);
  template<typename Service>
  typename Service::Response::SharedPtr call(
    const typename rclcpp::Client<Service>::SharedPtr & client,
    typename Service::Request::SharedPtr request, std::chrono::seconds timeout);

  rclcpp::Node::SharedPtr node_;
  tf2_ros::StaticTransformBroadcaster frames_;
  rclcpp::Client<lifecycle_msgs::srv::ChangeState>::SharedPtr change_state_;
  rclcpp::Client<nav2_msgs::srv::ClearEntireCostmap>::SharedPtr clear_;
  rclcpp::Subscription<nav_msgs::msg::OccupancyGrid>::SharedPtr grid_sub_;

  mutable std::mutex mutex_;
  mutable std::condition_variable grid_arrived_;
  std::uint64_t grids_seen_{0};
  LethalCells latest_;
};

}  // namespace obsfeed_demo

#endif  // OBSFEED_DEMO__COSTMAP_SESSION_HPP_
