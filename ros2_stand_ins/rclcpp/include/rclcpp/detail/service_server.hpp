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

#ifndef RCLCPP__DETAIL__SERVICE_SERVER_HPP_
#define RCLCPP__DETAIL__SERVICE_SERVER_HPP_

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "rclcpp/detail/transport.hpp"
#include "rclcpp/detail/typed_endpoint_info.hpp"
#include "rclcpp/subscription_base.hpp"

namespace rclcpp
{
namespace detail
{

/// Answers calls of ServiceT on one resolved service name. Executors serve it like a
/// subscription of its callback group -- a waiting call is taken, the handler runs in the
/// group's turn, the reply goes back to the caller -- so a mutually exclusive group never runs
/// the handler alongside its other callbacks.
template<typename ServiceT>
class ServiceServer : public SubscriptionBase
{
public:
  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;
  using Handler = std::function<void (const Request &, Response &)>;

  /// `node`: the owning node's registration with the transport.
  ServiceServer(
    const std::string & service_name, Handler handler, std::function<void()> on_request_ready,
    NodeRegistration node = nullptr)
  : SubscriptionBase(
      make_topic_endpoint_info<Request>(service_name, rclcpp::ServicesQoS()),
      [&service_name, &node](std::function<void()> on_ready) {
        const ServiceEndpointInfo info{
          service_name,
          rosidl_typesupport_introspection_cpp::get_message_type_support_handle<Request>(),
          rosidl_typesupport_introspection_cpp::get_message_type_support_handle<Response>(),
          node};
        return get_transport().create_service(info, std::move(on_ready));
      },
      std::move(on_request_ready)),
    handler_(std::move(handler))
  {}

  void handle_message(std::shared_ptr<const void> message) override
  {
    const auto & call = *std::static_pointer_cast<const ServiceRequest>(message);
    Response response;
    handler_(*static_cast<const Request *>(call.message.get()), response);
    static_cast<ServiceEndpoint &>(endpoint()).send_response(call, &response);
  }

private:
  Handler handler_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__SERVICE_SERVER_HPP_
