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

#include "obsfeed_demo/costmap_session.hpp"

#include <stdexcept>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "lifecycle_msgs/msg/transition.hpp"

namespace obsfeed_demo
{

namespace
{

/// OccupancyGrid's value for Nav2's LETHAL_OBSTACLE.
constexpr std::int8_t kLethal = 100;

std::vector<geometry_msgs::msg::TransformStamped> sensorFrames(
  const RobotLayout & layout, const rclcpp::Time & stamp)
{
  std::vector<geometry_msgs::msg::TransformStamped> frames;
  for (const SensorMount & mount : layout.sensors) {
    const Eigen::Isometry3d pose = mount.inBase();
    const Eigen::Quaterniond rotation(pose.rotation());
    geometry_msgs::msg::TransformStamped frame;
    frame.header.stamp = stamp;
    frame.header.frame_id = "base_footprint";
    frame.child_frame_id = mount.frame_id;
    frame.transform.translation.x = mount.xyz.x();
    frame.transform.translation.y = mount.xyz.y();
    frame.transform.translation.z = mount.xyz.z();
    frame.transform.rotation.x = rotation.x();
    frame.transform.rotation.y = rotation.y();
    frame.transform.rotation.z = rotation.z();
    frame.transform.rotation.w = rotation.w();
    frames.push_back(frame);
  }
  return frames;
}

}  // namespace

CostmapSession::CostmapSession(const rclcpp::Node::SharedPtr & node, const RobotLayout & layout)
: node_(node), frames_(node)
{
  frames_.sendTransform(sensorFrames(layout, node_->now()));
  change_state_ =
    node_->create_client<lifecycle_msgs::srv::ChangeState>("/costmap/costmap/change_state");
  clear_ = node_->create_client<nav2_msgs::srv::ClearEntireCostmap>(
    "/costmap/clear_entirely_costmap");
  // The costmap publishes its grid reliable and transient local, keep last 1.
  grid_sub_ = node_->create_subscription<nav_msgs::msg::OccupancyGrid>(
    "/costmap/costmap", rclcpp::QoS(1).reliable().transient_local(),
    [this](const nav_msgs::msg::OccupancyGrid & grid) {onGrid(grid);});
}

std::vector<std::string> CostmapSession::programArguments(
  const std::vector<std::string> & params_files, const RobotLayout & layout)
{
  std::vector<std::string> arguments{"--ros-args"};
  for (const std::string & file : params_files) {
    arguments.insert(arguments.end(), {"--params-file", file});
  }
  // Quoted, so that the corners stay one string, the form Nav2's parameter takes.
  arguments.insert(arguments.end(), {"-p", "footprint:='" + layout.nav2Footprint() + "'"});
  return arguments;
}

template<typename Service>
typename Service::Response::SharedPtr CostmapSession::call(
  const typename rclcpp::Client<Service>::SharedPtr & client,
  typename Service::Request::SharedPtr request, std::chrono::seconds timeout)
{
  if (!client->wait_for_service(timeout)) {
    throw std::runtime_error(std::string("no costmap serves ") + client->get_service_name());
  }
  auto response = client->async_send_request(request);
  if (response.wait_for(timeout) != std::future_status::ready) {
    throw std::runtime_error(std::string("no answer from ") + client->get_service_name());
  }
  return response.get();
}

void CostmapSession::bringUp(std::chrono::seconds timeout)
{
  for (const std::uint8_t transition :
    {lifecycle_msgs::msg::Transition::TRANSITION_CONFIGURE,
      lifecycle_msgs::msg::Transition::TRANSITION_ACTIVATE})
  {
    auto request = std::make_shared<lifecycle_msgs::srv::ChangeState::Request>();
    request->transition.id = transition;
    if (!call<lifecycle_msgs::srv::ChangeState>(change_state_, request, timeout)->success) {
      throw std::runtime_error(
              "the costmap refused lifecycle transition " + std::to_string(transition));
    }
  }
}

void CostmapSession::clearEntirely(std::chrono::seconds timeout)
{
  call<nav2_msgs::srv::ClearEntireCostmap>(
    clear_, std::make_shared<nav2_msgs::srv::ClearEntireCostmap::Request>(), timeout);
}

void CostmapSession::onGrid(const nav_msgs::msg::OccupancyGrid & grid)
{
  LethalCells cells;
  cells.resolution = grid.info.resolution;
  for (std::size_t index = 0; index < grid.data.size(); ++index) {
    if (grid.data[index] == kLethal) {
      const double column = static_cast<double>(index % grid.info.width) + 0.5;
      const double row = static_cast<double>(index / grid.info.width) + 0.5;
      cells.centres.emplace_back(
        grid.info.origin.position.x + column * cells.resolution,
        grid.info.origin.position.y + row * cells.resolution);
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    latest_ = std::move(cells);
    ++grids_seen_;
  }
  grid_arrived_.notify_all();
}

std::uint64_t CostmapSession::gridsSeen() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return grids_seen_;
}

LethalCells CostmapSession::gridAfter(std::uint64_t seen, std::chrono::milliseconds timeout) const
{
  std::unique_lock<std::mutex> lock(mutex_);
  if (!grid_arrived_.wait_for(lock, timeout, [&] {return grids_seen_ > seen;})) {
    throw std::runtime_error("no costmap grid within " + std::to_string(timeout.count()) + " ms");
  }
  return latest_;
}

}  // namespace obsfeed_demo
