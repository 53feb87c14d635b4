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

#ifndef RCLCPP__NODE_HPP_
#define RCLCPP__NODE_HPP_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "rcl_interfaces/msg/list_parameters_result.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/any_subscription_callback.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/detail/arguments.hpp"
#include "rclcpp/detail/incompatible_qos_event.hpp"
#include "rclcpp/detail/node_parameters.hpp"
#include "rclcpp/detail/qos_parameters.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_parameters_interface.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/subscription.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/time_source.hpp"
#include "rclcpp/timer.hpp"

namespace rclcpp
{

class Executor;

namespace detail
{
class ParameterService;
}  // namespace detail

/// A named participant of the ROS graph: it owns its parameters, its clock and its callback
/// groups, and creates publishers and subscriptions on topics resolved inside its namespace.
class Node : public std::enable_shared_from_this<Node>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Node)

  using OnSetParametersCallbackHandle = rclcpp::node_interfaces::OnSetParametersCallbackHandle;
  using OnParametersSetCallbackType = OnSetParametersCallbackHandle::OnSetParametersCallbackType;

  /// Throws exceptions::InvalidNodeNameError / InvalidNamespaceError for invalid names (also
  /// after `-r __node:=` / `-r __ns:=` remapping) and exceptions::RCLError when the context is
  /// not initialized or already shut down.
  explicit Node(const std::string & node_name, const NodeOptions & options = NodeOptions());
  /// A namespace without a leading '/' is taken as absolute; an empty one means "/".
  Node(
    const std::string & node_name, const std::string & namespace_,
    const NodeOptions & options = NodeOptions());

  virtual ~Node();

  Node(const Node &) = delete;
  Node & operator=(const Node &) = delete;

  const char * get_name() const;
  const char * get_namespace() const;
  const char * get_fully_qualified_name() const;

  const NodeOptions & get_node_options() const;

  rclcpp::CallbackGroup::SharedPtr create_callback_group(
    rclcpp::CallbackGroupType group_type,
    bool automatically_add_to_executor_with_node = true);

  /// Visits the node's live callback groups, the default one first.
  void for_each_callback_group(
    const std::function<void(rclcpp::CallbackGroup::SharedPtr)> & func);

  /// Whether an executor has taken this node; an executor sets it in add_node.
  std::atomic_bool & get_associated_with_executor_atomic();

  /// The topic name as publishers and subscriptions of this node see it: expanded inside the
  /// namespace, then remapped. Throws exceptions::InvalidTopicNameError for an invalid name.
  std::string resolve_topic_name(const std::string & topic_name) const;

  /// With options.qos_overriding_options, the QoS is what the parameters it declares make of
  /// `qos` (see detail::declare_qos_parameters). A peer whose QoS does not fit is reported as a
  /// warning when the executor serves options.callback_group (or the node's default group).
  template<
    typename MessageT,
    typename AllocatorT = std::allocator<void>,
    typename PublisherT = rclcpp::Publisher<MessageT, AllocatorT>>
  std::shared_ptr<PublisherT> create_publisher(
    const std::string & topic_name,
    const rclcpp::QoS & qos,
    const PublisherOptionsWithAllocator<AllocatorT> & options =
    PublisherOptionsWithAllocator<AllocatorT>())
  {
    const std::string topic = resolve_topic_name(topic_name);
    const rclcpp::QoS actual_qos = qos_for_new_entity(
      options.qos_overriding_options, topic, qos, detail::QosEntityKind::Publisher);
    throw_unless_context_valid("publisher");
    auto group = group_for_new_entity(
      options.callback_group, "Cannot create publisher, callback group not in node.");
    auto event = make_incompatible_qos_event(
      topic, detail::IncompatibleQosEvent::Side::Publisher, group);
    auto publisher =
      std::make_shared<PublisherT>(topic, actual_qos, options, graph_registration_, event);
    group->add_executable(event);
    return publisher;
  }

  /// The callback runs in options.callback_group, or in the node's default group. QoS
  /// overriding and incompatible peers as for create_publisher.
  template<
    typename MessageT,
    typename CallbackT,
    typename AllocatorT = std::allocator<void>,
    typename SubscriptionT = rclcpp::Subscription<MessageT, AllocatorT>>
  std::shared_ptr<SubscriptionT> create_subscription(
    const std::string & topic_name,
    const rclcpp::QoS & qos,
    CallbackT && callback,
    const SubscriptionOptionsWithAllocator<AllocatorT> & options =
    SubscriptionOptionsWithAllocator<AllocatorT>())
  {
    const std::string topic = resolve_topic_name(topic_name);
    const rclcpp::QoS actual_qos = qos_for_new_entity(
      options.qos_overriding_options, topic, qos, detail::QosEntityKind::Subscription);
    throw_unless_context_valid("subscription");
    auto group = group_for_new_entity(
      options.callback_group, "Cannot create subscription, callback group not in node.");
    auto event = make_incompatible_qos_event(
      topic, detail::IncompatibleQosEvent::Side::Subscription, group);
    auto subscription = std::make_shared<SubscriptionT>(
      topic, actual_qos,
      AnySubscriptionCallback<MessageT>(std::forward<CallbackT>(callback)),
      options, make_group_notifier(group), graph_registration_, event);
    group->add_executable(subscription);
    group->add_executable(event);
    return subscription;
  }

  /// A timer on the steady clock whose callback (`void()` or `void(rclcpp::TimerBase &)`) runs
  /// in `group` (null: the node's default group) once per period.
  /// \throws std::invalid_argument for a negative period or one beyond nanoseconds::max()
  /// \throws std::runtime_error "Cannot create timer, group not in node."
  /// \throws exceptions::RCLError when the node's context has been shut down
  template<typename DurationRepT = int64_t, typename DurationT = std::milli, typename CallbackT>
  typename rclcpp::WallTimer<CallbackT>::SharedPtr create_wall_timer(
    std::chrono::duration<DurationRepT, DurationT> period,
    CallbackT callback,
    rclcpp::CallbackGroup::SharedPtr group = nullptr)
  {
    auto timer = rclcpp::WallTimer<CallbackT>::make_shared(
      detail::checked_timer_period(period), std::move(callback), context_);
    add_timer(timer, group);
    return timer;
  }

  // Parameters: see rclcpp::detail::NodeParameters for the rules.

  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name,
    const rclcpp::ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false);

  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name,
    rclcpp::ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false);

  template<typename ParameterT>
  auto declare_parameter(
    const std::string & name,
    const ParameterT & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false)
  {
    return node_parameters_->declare_parameter(
      name, default_value, parameter_descriptor, ignore_override);
  }

  template<typename ParameterT>
  auto declare_parameter(
    const std::string & name,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false)
  {
    return node_parameters_->template declare_parameter<ParameterT>(
      name, parameter_descriptor, ignore_override);
  }

  template<typename ParameterT>
  std::vector<ParameterT> declare_parameters(
    const std::string & namespace_,
    const std::map<std::string, ParameterT> & parameters,
    bool ignore_overrides = false)
  {
    return node_parameters_->declare_parameters(namespace_, parameters, ignore_overrides);
  }

  void undeclare_parameter(const std::string & name);
  bool has_parameter(const std::string & name) const;

  rcl_interfaces::msg::SetParametersResult set_parameter(const rclcpp::Parameter & parameter);
  std::vector<rcl_interfaces::msg::SetParametersResult> set_parameters(
    const std::vector<rclcpp::Parameter> & parameters);
  rcl_interfaces::msg::SetParametersResult set_parameters_atomically(
    const std::vector<rclcpp::Parameter> & parameters);

  rclcpp::Parameter get_parameter(const std::string & name) const;
  bool get_parameter(const std::string & name, rclcpp::Parameter & parameter) const;

  template<typename ParameterT>
  bool get_parameter(const std::string & name, ParameterT & parameter) const
  {
    return node_parameters_->get_parameter(name, parameter);
  }

  template<typename ParameterT>
  bool get_parameter_or(
    const std::string & name, ParameterT & parameter, const ParameterT & alternative_value) const
  {
    return node_parameters_->get_parameter_or(name, parameter, alternative_value);
  }

  template<typename ParameterT>
  ParameterT get_parameter_or(const std::string & name, const ParameterT & alternative_value) const
  {
    ParameterT parameter;
    get_parameter_or(name, parameter, alternative_value);
    return parameter;
  }

  std::vector<rclcpp::Parameter> get_parameters(const std::vector<std::string> & names) const;

  template<typename ParameterT>
  bool get_parameters(const std::string & prefix, std::map<std::string, ParameterT> & values) const
  {
    return node_parameters_->get_parameters(prefix, values);
  }

  rcl_interfaces::msg::ParameterDescriptor describe_parameter(const std::string & name) const;
  std::vector<rcl_interfaces::msg::ParameterDescriptor> describe_parameters(
    const std::vector<std::string> & names) const;
  std::vector<uint8_t> get_parameter_types(const std::vector<std::string> & names) const;
  rcl_interfaces::msg::ListParametersResult list_parameters(
    const std::vector<std::string> & prefixes, uint64_t depth) const;

  /// The callback stays registered while the returned handle lives.
  [[nodiscard]] OnSetParametersCallbackHandle::SharedPtr add_on_set_parameters_callback(
    OnParametersSetCallbackType callback);
  void remove_on_set_parameters_callback(const OnSetParametersCallbackHandle * const handler);

  rclcpp::node_interfaces::NodeParametersInterface::SharedPtr get_node_parameters_interface();

  /// The node's ROS-time clock: simulated time from /clock while "use_sim_time" is true.
  rclcpp::Time now() const;
  rclcpp::Clock::SharedPtr get_clock();
  rclcpp::Clock::ConstSharedPtr get_clock() const;

private:
  friend class Executor;

  /// `requested`, or the default group for none. Throws std::runtime_error `not_in_node` for
  /// a group of another node.
  rclcpp::CallbackGroup::SharedPtr group_for_new_entity(
    const rclcpp::CallbackGroup::SharedPtr & requested, const char * not_in_node);
  rclcpp::QoS qos_for_new_entity(
    const rclcpp::QosOverridingOptions & options, const std::string & resolved_topic,
    const rclcpp::QoS & qos, detail::QosEntityKind entity);
  std::shared_ptr<detail::IncompatibleQosEvent> make_incompatible_qos_event(
    const std::string & resolved_topic, detail::IncompatibleQosEvent::Side side,
    const rclcpp::CallbackGroup::SharedPtr & group) const;
  void add_timer(
    const rclcpp::TimerBase::SharedPtr & timer, const rclcpp::CallbackGroup::SharedPtr & group);
  /// As rcl refuses new entities of a node whose context has been shut down.
  void throw_unless_context_valid(const char * entity) const;
  static std::function<void()> make_group_notifier(const rclcpp::CallbackGroup::SharedPtr & group);
  /// Lets the executor that took this node learn about groups created later.
  void set_executor_notifier(std::function<void()> notifier);
  void notify_executor();
  /// Follows a change of "use_sim_time" made through the parameter API.
  void update_time_source();

  NodeOptions node_options_;
  rclcpp::Context::SharedPtr context_;
  detail::Arguments local_arguments_;
  std::string name_;
  std::string namespace_;
  std::string fully_qualified_name_;
  // As rcl names a node's logger: "<namespace, dots for slashes>.<name>".
  std::string logger_name_;
  // Lists the node in the ROS graph (as long as this or one of its endpoints lives).
  detail::NodeRegistration graph_registration_;
  std::shared_ptr<detail::NodeParameters> node_parameters_;

  mutable std::mutex callback_groups_mutex_;
  rclcpp::CallbackGroup::SharedPtr default_callback_group_;
  // Weak, as in Humble: a group lives as long as its creator keeps it.
  std::vector<rclcpp::CallbackGroup::WeakPtr> callback_groups_;

  std::atomic_bool associated_with_executor_{false};
  std::mutex executor_notifier_mutex_;
  std::function<void()> executor_notifier_;

  rclcpp::Clock::SharedPtr clock_;
  std::unique_ptr<rclcpp::TimeSource> time_source_;
  std::atomic_bool clock_qos_declared_{false};
  // Last: its servers answer through the members above, so it goes first.
  std::unique_ptr<detail::ParameterService> parameter_service_;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_HPP_
