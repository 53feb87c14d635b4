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

#ifndef RCLCPP__DETAIL__PARAMETER_SERVICE_HPP_
#define RCLCPP__DETAIL__PARAMETER_SERVICE_HPP_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rclcpp/detail/service_server.hpp"
#include "rclcpp/subscription_base.hpp"

namespace rclcpp
{

class Node;

namespace detail
{

/// The six services through which `ros2 param` and other nodes read and change a node's
/// parameters: ~/get_parameters, ~/get_parameter_types, ~/set_parameters,
/// ~/set_parameters_atomically, ~/describe_parameters and ~/list_parameters, answered as
/// Humble's rclcpp answers them, through the node's own parameter API (so its set-parameters
/// callbacks decide, and use_sim_time is followed).
class ParameterService
{
public:
  /// `add_to_group` puts each server into the group that runs it (Humble: the node's default
  /// group); `on_request_ready` wakes that group's executor. `node` must outlive this object.
  /// `registration`: the node's, so that the services are listed under it in the ROS graph.
  ParameterService(
    Node & node, const std::function<void(const SubscriptionBase::SharedPtr &)> & add_to_group,
    const std::function<void()> & on_request_ready, NodeRegistration registration = nullptr);

private:
  template<typename ServiceT>
  void add(
    const std::string & service_name, typename ServiceServer<ServiceT>::Handler handler,
    const std::function<void(const SubscriptionBase::SharedPtr &)> & add_to_group,
    const std::function<void()> & on_request_ready);

  NodeRegistration registration_;
  std::vector<SubscriptionBase::SharedPtr> servers_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__PARAMETER_SERVICE_HPP_
