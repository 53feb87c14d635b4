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

#include "rclcpp/detail/parameter_service.hpp"

#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rclcpp/detail/service_server.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp
{
namespace detail
{
namespace
{

using rcl_interfaces::msg::SetParametersResult;

std::vector<rclcpp::Parameter> from_messages(
  const std::vector<rcl_interfaces::msg::Parameter> & messages)
{
  std::vector<rclcpp::Parameter> parameters;
  parameters.reserve(messages.size());
  for (const auto & message : messages) {
    parameters.push_back(rclcpp::Parameter::from_parameter_msg(message));
  }
  return parameters;
}

SetParametersResult refused(const std::string & reason)
{
  SetParametersResult result;
  result.successful = false;
  result.reason = reason;
  return result;
}

}  // namespace

ParameterService::ParameterService(
  Node & node, const std::function<void(const SubscriptionBase::SharedPtr &)> & add_to_group,
  const std::function<void()> & on_request_ready, NodeRegistration registration)
: registration_(std::move(registration))
{
  using rcl_interfaces::srv::DescribeParameters;
  using rcl_interfaces::srv::GetParameterTypes;
  using rcl_interfaces::srv::GetParameters;
  using rcl_interfaces::srv::ListParameters;
  using rcl_interfaces::srv::SetParameters;
  using rcl_interfaces::srv::SetParametersAtomically;

  const std::string prefix = std::string(node.get_fully_qualified_name()) + "/";

  // A request naming an undeclared parameter gets an empty answer, as from Humble.
  add<GetParameters>(
    prefix + "get_parameters", [&node](const auto & request, auto & response) {
      try {
        for (const auto & parameter : node.get_parameters(request.names)) {
          response.values.push_back(parameter.get_value_message());
        }
      } catch (const exceptions::ParameterNotDeclaredException &) {
        response.values.clear();
      }
    }, add_to_group, on_request_ready);
  add<GetParameterTypes>(
    prefix + "get_parameter_types", [&node](const auto & request, auto & response) {
      try {
        response.types = node.get_parameter_types(request.names);
      } catch (const exceptions::ParameterNotDeclaredException &) {
        response.types.clear();
      }
    }, add_to_group, on_request_ready);
  // One result per parameter, each set on its own: a refusal of one leaves the others set.
  // Whatever a remote caller sends must not end the node's spin, so any other error comes
  // back as a refusal with its reason instead of escaping the callback.
  add<SetParameters>(
    prefix + "set_parameters", [&node](const auto & request, auto & response) {
      for (const auto & message : request.parameters) {
        try {
          response.results.push_back(
            node.set_parameters_atomically({rclcpp::Parameter::from_parameter_msg(message)}));
        } catch (const std::exception & error) {
          response.results.push_back(refused(error.what()));
        }
      }
    }, add_to_group, on_request_ready);
  add<SetParametersAtomically>(
    prefix + "set_parameters_atomically", [&node](const auto & request, auto & response) {
      try {
        response.result = node.set_parameters_atomically(from_messages(request.parameters));
      } catch (const exceptions::ParameterNotDeclaredException &) {
        response.result = refused("One or more parameters were not declared before setting");
      } catch (const std::exception & error) {
        response.result = refused(error.what());
      }
    }, add_to_group, on_request_ready);
  add<DescribeParameters>(
    prefix + "describe_parameters", [&node](const auto & request, auto & response) {
      try {
        response.descriptors = node.describe_parameters(request.names);
      } catch (const exceptions::ParameterNotDeclaredException &) {
        response.descriptors.clear();
      }
    }, add_to_group, on_request_ready);
  add<ListParameters>(
    prefix + "list_parameters", [&node](const auto & request, auto & response) {
      response.result = node.list_parameters(request.prefixes, request.depth);
    }, add_to_group, on_request_ready);
}

template<typename ServiceT>
void ParameterService::add(
  const std::string & service_name, typename ServiceServer<ServiceT>::Handler handler,
  const std::function<void(const SubscriptionBase::SharedPtr &)> & add_to_group,
  const std::function<void()> & on_request_ready)
{
  auto server =
    std::make_shared<ServiceServer<ServiceT>>(
    service_name, std::move(handler), on_request_ready, registration_);
  add_to_group(server);
  servers_.push_back(std::move(server));
}

}  // namespace detail
}  // namespace rclcpp
