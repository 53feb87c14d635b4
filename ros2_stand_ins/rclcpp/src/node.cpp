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

#include "rclcpp/node.hpp"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>

#include "rclcpp/detail/context_checks.hpp"
#include "rclcpp/detail/name_validation.hpp"
#include "rclcpp/detail/parameter_service.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/expand_topic_or_service_name.hpp"

namespace rclcpp
{
namespace
{

constexpr char kUseSimTime[] = "use_sim_time";

/// rcl takes "" as "/" and a relative namespace as absolute.
std::string absolute_namespace(const std::string & namespace_)
{
  if (namespace_.empty()) {
    return "/";
  }
  if (namespace_[0] != '/') {
    return "/" + namespace_;
  }
  return namespace_;
}

void check_node_name(const std::string & node_name)
{
  if (auto error = detail::validate_node_name(node_name)) {
    throw exceptions::InvalidNodeNameError(
            node_name.c_str(), error->message.c_str(), error->index);
  }
}

void check_namespace(const std::string & namespace_)
{
  if (auto error = detail::validate_namespace(namespace_)) {
    throw exceptions::InvalidNamespaceError(
            namespace_.c_str(), error->message.c_str(), error->index);
  }
}

rclcpp::Context::SharedPtr usable_context(const NodeOptions & options)
{
  auto context = options.context();
  if (!context) {
    throw std::invalid_argument("context argument unexpectedly nullptr");
  }
  detail::throw_unless_guard_condition_possible(*context);
  return context;
}

detail::Arguments local_arguments(const NodeOptions & options)
{
  auto arguments = detail::Arguments::parse(options.arguments());
  if (!arguments.unknown_ros_arguments().empty()) {
    auto unknown = arguments.unknown_ros_arguments();
    throw exceptions::UnknownROSArgsError(std::move(unknown));
  }
  return arguments;
}

}  // namespace

Node::Node(const std::string & node_name, const NodeOptions & options)
: Node(node_name, "", options)
{}

Node::Node(
  const std::string & node_name, const std::string & node_namespace, const NodeOptions & options)
: node_options_(options),
  context_(usable_context(options)),
  local_arguments_(local_arguments(options)),
  name_(node_name),
  namespace_(absolute_namespace(node_namespace))
{
  check_node_name(name_);
  check_namespace(namespace_);

  // `-r __node:=` / `-r __ns:=` of the node's own arguments win over the process's.
  const auto & global_arguments = context_->get_global_arguments();
  const bool use_global = options.use_global_arguments();
  auto remapped_name = local_arguments_.node_name(node_name);
  if (!remapped_name && use_global) {
    remapped_name = global_arguments.node_name(node_name);
  }
  auto remapped_namespace = local_arguments_.node_namespace(node_name);
  if (!remapped_namespace && use_global) {
    remapped_namespace = global_arguments.node_namespace(node_name);
  }
  if (remapped_name) {
    name_ = *remapped_name;
    check_node_name(name_);
  }
  if (remapped_namespace) {
    namespace_ = absolute_namespace(*remapped_namespace);
    check_namespace(namespace_);
  }
  fully_qualified_name_ = (namespace_ == "/" ? "" : namespace_) + "/" + name_;
  logger_name_ = namespace_ == "/" ? name_ : namespace_.substr(1) + "." + name_;
  std::replace(logger_name_.begin(), logger_name_.end(), '/', '.');
  graph_registration_ = detail::get_transport().register_node(namespace_, name_);

  node_parameters_ =
    std::make_shared<detail::NodeParameters>(fully_qualified_name_, options, context_);

  default_callback_group_ = std::make_shared<CallbackGroup>(CallbackGroupType::MutuallyExclusive);
  callback_groups_.push_back(default_callback_group_);

  clock_ = std::make_shared<Clock>(RCL_ROS_TIME);
  time_source_ = std::make_unique<TimeSource>(resolve_topic_name("/clock"));
  time_source_->attachClock(clock_);
  if (!node_parameters_->has_parameter(kUseSimTime)) {
    node_parameters_->declare_parameter(kUseSimTime, rclcpp::ParameterValue(false));
  }
  update_time_source();

  if (options.start_parameter_services()) {
    throw_unless_context_valid("service");
    parameter_service_ = std::make_unique<detail::ParameterService>(
      *this,
      [group = default_callback_group_](const SubscriptionBase::SharedPtr & server) {
        group->add_executable(server);
      },
      make_group_notifier(default_callback_group_), graph_registration_);
  }

  // Humble declares these on every node, though the stand-in publishes no parameter events.
  detail::declare_qos_parameters(
    {QosPolicyKind::Depth, QosPolicyKind::Durability, QosPolicyKind::History,
      QosPolicyKind::Reliability},
    *node_parameters_, resolve_topic_name("/parameter_events"), rclcpp::ParameterEventsQoS(),
    detail::QosEntityKind::Publisher);
}

Node::~Node() = default;

const char * Node::get_name() const
{
  return name_.c_str();
}

const char * Node::get_namespace() const
{
  return namespace_.c_str();
}

const char * Node::get_fully_qualified_name() const
{
  return fully_qualified_name_.c_str();
}

const NodeOptions & Node::get_node_options() const
{
  return node_options_;
}

rclcpp::CallbackGroup::SharedPtr Node::create_callback_group(
  rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
{
  auto group =
    std::make_shared<CallbackGroup>(group_type, automatically_add_to_executor_with_node);
  {
    std::lock_guard<std::mutex> lock(callback_groups_mutex_);
    callback_groups_.push_back(group);
  }
  if (automatically_add_to_executor_with_node) {
    notify_executor();
  }
  return group;
}

void Node::for_each_callback_group(
  const std::function<void(rclcpp::CallbackGroup::SharedPtr)> & func)
{
  std::lock_guard<std::mutex> lock(callback_groups_mutex_);
  callback_groups_.erase(
    std::remove_if(
      callback_groups_.begin(), callback_groups_.end(),
      [](const CallbackGroup::WeakPtr & weak) {return weak.expired();}),
    callback_groups_.end());
  for (const auto & weak_group : callback_groups_) {
    if (auto group = weak_group.lock()) {
      func(group);
    }
  }
}

std::atomic_bool & Node::get_associated_with_executor_atomic()
{
  return associated_with_executor_;
}

std::string Node::resolve_topic_name(const std::string & topic_name) const
{
  const std::string expanded = expand_topic_or_service_name(topic_name, name_, namespace_);
  auto remapped = local_arguments_.match_topic_remap(expanded, name_, namespace_);
  if (!remapped && node_options_.use_global_arguments()) {
    remapped = context_->get_global_arguments().match_topic_remap(expanded, name_, namespace_);
  }
  if (!remapped) {
    return expanded;
  }
  if (auto error = detail::validate_full_topic_name(*remapped)) {
    throw exceptions::InvalidTopicNameError(
            remapped->c_str(), error->message.c_str(), error->index);
  }
  return *remapped;
}

rclcpp::CallbackGroup::SharedPtr Node::group_for_new_entity(
  const rclcpp::CallbackGroup::SharedPtr & requested, const char * not_in_node)
{
  if (!requested) {
    return default_callback_group_;
  }
  std::lock_guard<std::mutex> lock(callback_groups_mutex_);
  const bool in_node = std::any_of(
    callback_groups_.begin(), callback_groups_.end(),
    [&requested](const CallbackGroup::WeakPtr & weak) {return weak.lock() == requested;});
  if (!in_node) {
    throw std::runtime_error(not_in_node);
  }
  return requested;
}

rclcpp::QoS Node::qos_for_new_entity(
  const rclcpp::QosOverridingOptions & options, const std::string & resolved_topic,
  const rclcpp::QoS & qos, detail::QosEntityKind entity)
{
  if (options.get_policy_kinds().empty()) {
    return qos;
  }
  const auto overridden =
    detail::declare_qos_parameters(options, *node_parameters_, resolved_topic, qos, entity);
  detail::throw_unless_depth_supported(
    overridden, entity == detail::QosEntityKind::Publisher ? "publisher" : "subscription");
  return overridden;
}

std::shared_ptr<detail::IncompatibleQosEvent> Node::make_incompatible_qos_event(
  const std::string & resolved_topic, detail::IncompatibleQosEvent::Side side,
  const rclcpp::CallbackGroup::SharedPtr & group) const
{
  return std::make_shared<detail::IncompatibleQosEvent>(
    logger_name_, resolved_topic, side, make_group_notifier(group));
}

void Node::add_timer(
  const rclcpp::TimerBase::SharedPtr & timer, const rclcpp::CallbackGroup::SharedPtr & group)
{
  auto timer_group = group_for_new_entity(group, "Cannot create timer, group not in node.");
  timer->on_reset_ = make_group_notifier(timer_group);
  timer_group->add_executable(timer);
}

std::function<void()> Node::make_group_notifier(const rclcpp::CallbackGroup::SharedPtr & group)
{
  CallbackGroup::WeakPtr weak_group = group;
  return [weak_group]() {
           if (auto group = weak_group.lock()) {
             group->trigger_notify_guard_condition();
           }
         };
}

void Node::throw_unless_context_valid(const char * entity) const
{
  detail::throw_unless_node_context_valid(*context_, entity);
}

void Node::set_executor_notifier(std::function<void()> notifier)
{
  std::lock_guard<std::mutex> lock(executor_notifier_mutex_);
  executor_notifier_ = std::move(notifier);
}

void Node::notify_executor()
{
  std::function<void()> notifier;
  {
    std::lock_guard<std::mutex> lock(executor_notifier_mutex_);
    notifier = executor_notifier_;
  }
  if (notifier) {
    notifier();
  }
}

const rclcpp::ParameterValue & Node::declare_parameter(
  const std::string & name,
  const rclcpp::ParameterValue & default_value,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor,
  bool ignore_override)
{
  return node_parameters_->declare_parameter(
    name, default_value, parameter_descriptor, ignore_override);
}

const rclcpp::ParameterValue & Node::declare_parameter(
  const std::string & name,
  rclcpp::ParameterType type,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor,
  bool ignore_override)
{
  return node_parameters_->declare_parameter(name, type, parameter_descriptor, ignore_override);
}

void Node::undeclare_parameter(const std::string & name)
{
  node_parameters_->undeclare_parameter(name);
}

bool Node::has_parameter(const std::string & name) const
{
  return node_parameters_->has_parameter(name);
}

rcl_interfaces::msg::SetParametersResult Node::set_parameter(const rclcpp::Parameter & parameter)
{
  auto result = node_parameters_->set_parameter(parameter);
  update_time_source();
  return result;
}

std::vector<rcl_interfaces::msg::SetParametersResult> Node::set_parameters(
  const std::vector<rclcpp::Parameter> & parameters)
{
  auto results = node_parameters_->set_parameters(parameters);
  update_time_source();
  return results;
}

rcl_interfaces::msg::SetParametersResult Node::set_parameters_atomically(
  const std::vector<rclcpp::Parameter> & parameters)
{
  auto result = node_parameters_->set_parameters_atomically(parameters);
  update_time_source();
  return result;
}

rclcpp::Parameter Node::get_parameter(const std::string & name) const
{
  return node_parameters_->get_parameter(name);
}

bool Node::get_parameter(const std::string & name, rclcpp::Parameter & parameter) const
{
  return node_parameters_->get_parameter(name, parameter);
}

std::vector<rclcpp::Parameter> Node::get_parameters(const std::vector<std::string> & names) const
{
  return node_parameters_->get_parameters(names);
}

rcl_interfaces::msg::ParameterDescriptor Node::describe_parameter(const std::string & name) const
{
  return node_parameters_->describe_parameter(name);
}

std::vector<rcl_interfaces::msg::ParameterDescriptor> Node::describe_parameters(
  const std::vector<std::string> & names) const
{
  return node_parameters_->describe_parameters(names);
}

std::vector<uint8_t> Node::get_parameter_types(const std::vector<std::string> & names) const
{
  return node_parameters_->get_parameter_types(names);
}

rcl_interfaces::msg::ListParametersResult Node::list_parameters(
  const std::vector<std::string> & prefixes, uint64_t depth) const
{
  return node_parameters_->list_parameters(prefixes, depth);
}

Node::OnSetParametersCallbackHandle::SharedPtr Node::add_on_set_parameters_callback(
  OnParametersSetCallbackType callback)
{
  return node_parameters_->add_on_set_parameters_callback(std::move(callback));
}

void Node::remove_on_set_parameters_callback(const OnSetParametersCallbackHandle * const handler)
{
  node_parameters_->remove_on_set_parameters_callback(handler);
}

rclcpp::node_interfaces::NodeParametersInterface::SharedPtr Node::get_node_parameters_interface()
{
  return node_parameters_;
}

rclcpp::Time Node::now() const
{
  return clock_->now();
}

rclcpp::Clock::SharedPtr Node::get_clock()
{
  return clock_;
}

rclcpp::Clock::ConstSharedPtr Node::get_clock() const
{
  return clock_;
}

void Node::update_time_source()
{
  // An undeclared or unset use_sim_time leaves the clock as it is.
  rclcpp::Parameter use_sim_time;
  if (node_parameters_->get_parameter(kUseSimTime, use_sim_time) &&
    use_sim_time.get_type() == rclcpp::ParameterType::PARAMETER_BOOL)
  {
    if (use_sim_time.as_bool() && !clock_qos_declared_.exchange(true)) {
      // As Humble's /clock subscription, made when simulated time is first switched on.
      time_source_->set_clock_qos(
        detail::declare_qos_parameters(
          {QosPolicyKind::Depth, QosPolicyKind::Durability, QosPolicyKind::History,
            QosPolicyKind::Reliability},
          *node_parameters_, resolve_topic_name("/clock"), rclcpp::ClockQoS(),
          detail::QosEntityKind::Subscription));
    }
    time_source_->set_use_sim_time(use_sim_time.as_bool());
  }
}

}  // namespace rclcpp
