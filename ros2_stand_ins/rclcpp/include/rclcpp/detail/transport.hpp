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

// The one place where messages leave and enter the process. Everything above this seam is
// typed; everything below it sees a message only as `void` plus its introspection type support,
// so a middleware implementation can create, fill and destroy messages from the type support's
// size_of_ / init_function / fini_function without knowing the C++ type.

#ifndef RCLCPP__DETAIL__TRANSPORT_HPP_
#define RCLCPP__DETAIL__TRANSPORT_HPP_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "rosidl_runtime_c/message_type_support_struct.h"
#include "rclcpp/qos.hpp"
#include "rclcpp/qos_overriding_options.hpp"

namespace rclcpp
{
namespace detail
{

/// A node as the transport knows it, to tell the ROS graph which endpoints are whose. Opaque
/// here; the node and each of its endpoints hold it, and the node stays listed while any of
/// them does (as in Humble, where a node's publishers keep its handle alive).
using NodeRegistration = std::shared_ptr<void>;

/// Told about a peer on the endpoint's topic whose QoS does not fit the endpoint's, with the
/// policy that does not; called from any thread, without transport locks held, and cheap.
using IncompatibleQosHandler = std::function<void (QosPolicyKind last_policy_kind)>;

struct TopicEndpointInfo
{
  /// Fully qualified ROS name, e.g. "/ultrasonic_laser1".
  std::string topic_name;
  /// ROS type name, e.g. "sensor_msgs/msg/LaserScan".
  std::string type_name;
  /// The rosidl_typesupport_introspection_cpp handle of the message type.
  const rosidl_message_type_support_t * type_support;
  rclcpp::QoS qos;
  /// The node the endpoint belongs to (Transport::register_node); null for none.
  NodeRegistration node = nullptr;
  /// Null: nobody wants to know.
  IncompatibleQosHandler on_incompatible_qos = nullptr;
};

/// Makes a copy of a message that the caller only lends, for a transport that must keep it.
using MessageCopier = std::shared_ptr<const void>(*)(const void * message);

/// One per rclcpp::Publisher.
class PublisherEndpoint
{
public:
  virtual ~PublisherEndpoint() = default;
  /// `message` points to an instance of the endpoint's message type; it is never modified again.
  virtual void publish(std::shared_ptr<const void> message) = 0;
  /// `message` is only lent for the call; `make_copy` is called (once) only if something in
  /// the process must keep it, so a message that only leaves the process is never copied.
  virtual void publish_lent(const void * message, MessageCopier make_copy)
  {
    publish(make_copy(message));
  }
  /// Subscriptions of the same type whose QoS this publisher satisfies.
  virtual size_t get_subscription_count() const = 0;
};

/// One per rclcpp::Subscription; holds the subscription's keep-last / keep-all queue.
class SubscriptionEndpoint
{
public:
  virtual ~SubscriptionEndpoint() = default;
  /// The oldest waiting message, or nullptr when nothing waits.
  virtual std::shared_ptr<const void> take() = 0;
  /// Whether a message waits, without taking it: executors use it to fix which subscriptions
  /// one round of spin_some serves. An endpoint that cannot tell answers true, and take() decides.
  virtual bool has_message() const {return true;}
  /// Publishers of the same type whose QoS satisfies this subscription.
  virtual size_t get_publisher_count() const = 0;
};

struct ServiceEndpointInfo
{
  /// Fully qualified ROS name, e.g. "/costmap_input/get_parameters".
  std::string service_name;
  /// The rosidl_typesupport_introspection_cpp handles of the request and response messages.
  const rosidl_message_type_support_t * request_type_support;
  const rosidl_message_type_support_t * response_type_support;
  /// The node the service belongs to (Transport::register_node); null for none.
  NodeRegistration node = nullptr;
};

/// One received call: who made it (echoed in the reply) and the request message.
struct ServiceRequest
{
  uint64_t client_guid = 0;
  int64_t sequence_number = 0;
  /// The transport's own handle on the caller's request writer, to find the caller's reply
  /// reader again when answering.
  uint64_t writer_handle = 0;
  std::shared_ptr<void> message;
};

/// The server side of one service. take() hands out the waiting calls, each as a
/// `ServiceRequest`, oldest first; the publisher count is the number of matched clients.
class ServiceEndpoint : public SubscriptionEndpoint
{
public:
  /// Sends `response` (an instance of the response type) to the client that made `request`.
  virtual void send_response(const ServiceRequest & request, const void * response) = 0;
};

class Transport
{
public:
  virtual ~Transport() = default;
  /// Lists the node in the ROS graph until the last copy of the result is gone. A transport
  /// that no other process sees lists nothing: null.
  virtual NodeRegistration register_node(
    const std::string & /*node_namespace*/, const std::string & /*node_name*/)
  {
    return nullptr;
  }
  virtual std::shared_ptr<PublisherEndpoint> create_publisher(const TopicEndpointInfo & info) = 0;
  /// `on_message_ready` is called, from any thread and without transport locks held, whenever a
  /// message becomes available to take(); it must be cheap (it wakes an executor).
  virtual std::shared_ptr<SubscriptionEndpoint> create_subscription(
    const TopicEndpointInfo & info, std::function<void()> on_message_ready) = 0;
  /// `on_request_ready` as for subscriptions. By default the service is unreachable: rclcpp
  /// has no service clients, so only other processes can call, and only a transport that
  /// reaches them serves anything.
  virtual std::shared_ptr<ServiceEndpoint> create_service(
    const ServiceEndpointInfo & info, std::function<void()> on_request_ready);
};

/// The process's transport.
Transport & get_transport();

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__TRANSPORT_HPP_
