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

#ifndef RCLCPP__DETAIL__NODE_PARAMETERS_HPP_
#define RCLCPP__DETAIL__NODE_PARAMETERS_HPP_

#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "rcl_interfaces/msg/list_parameters_result.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_parameters_interface.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{
namespace detail
{

/// A declared parameter: its value and how it may change.
struct ParameterInfo
{
  rclcpp::ParameterValue value;
  rcl_interfaces::msg::ParameterDescriptor descriptor;
};

/// The parameters of one node, with rclcpp's rules for declaring, overriding and setting them.
/**
 * All members are thread-safe. On-set callbacks run with the parameters locked; from inside
 * one, reading parameters works but declaring, setting or changing callbacks throws
 * exceptions::ParameterModifiedInCallbackException.
 */
class NodeParameters : public rclcpp::node_interfaces::NodeParametersInterface
{
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeParameters)

  using OnSetParametersCallbackHandle = rclcpp::node_interfaces::OnSetParametersCallbackHandle;
  using OnSetParametersCallbackType = OnSetParametersCallbackHandle::OnSetParametersCallbackType;

  /// Resolve the node's parameter overrides: the context's global arguments (if
  /// options.use_global_arguments()), then options.arguments(), then
  /// options.parameter_overrides(), later ones winning; then, if asked, declare them all.
  /**
   * \throws exceptions::RCLInvalidROSArgsError if options.arguments() are malformed
   * \throws exceptions::InvalidParametersException for an override without a value
   */
  RCLCPP_PUBLIC
  NodeParameters(
    const std::string & fully_qualified_node_name,
    const rclcpp::NodeOptions & options,
    const rclcpp::Context::SharedPtr & context);

  RCLCPP_PUBLIC
  ~NodeParameters() override;

  /// Declare with a default; an override (unless ignore_override) replaces the default.
  /**
   * \return the value the parameter got
   * \throws exceptions::ParameterAlreadyDeclaredException if declared before
   * \throws exceptions::InvalidParametersException if the name is empty
   * \throws exceptions::InvalidParameterTypeException if the value's type differs from the
   *   default's (and the descriptor has no dynamic_typing), or no type can be known
   * \throws exceptions::InvalidParameterValueException if a range or an on-set callback
   *   rejects the value
   */
  RCLCPP_PUBLIC
  const rclcpp::ParameterValue &
  declare_parameter(
    const std::string & name,
    const rclcpp::ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false) override;

  /// Declare a statically typed parameter without a default; it stays unset unless overridden.
  RCLCPP_PUBLIC
  const rclcpp::ParameterValue &
  declare_parameter(
    const std::string & name,
    rclcpp::ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false) override;

  /// Like rclcpp::Node::declare_parameter<T>(): returns the value as T.
  template<typename ParameterT>
  auto
  declare_parameter(
    const std::string & name,
    const ParameterT & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false)
  {
    try {
      return this->declare_parameter(
        name,
        rclcpp::ParameterValue(default_value),
        parameter_descriptor,
        ignore_override
      ).template get<ParameterT>();
    } catch (const ParameterTypeException & ex) {
      throw exceptions::InvalidParameterTypeException(name, ex.what());
    }
  }

  /// Like rclcpp::Node::declare_parameter<T>(name): statically typed, value from an override.
  /**
   * \throws exceptions::UninitializedStaticallyTypedParameterException without an override
   */
  template<typename ParameterT>
  auto
  declare_parameter(
    const std::string & name,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
    rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false)
  {
    // ParameterValue's constructors know which ParameterType a C++ type maps to.
    rclcpp::ParameterValue value{ParameterT{}};
    try {
      return this->declare_parameter(
        name,
        value.get_type(),
        parameter_descriptor,
        ignore_override
      ).template get<ParameterT>();
    } catch (const ParameterTypeException &) {
      throw exceptions::UninitializedStaticallyTypedParameterException(name);
    }
  }

  /// Declare namespace_.key for every entry of the map; returns the values in map order.
  template<typename ParameterT>
  std::vector<ParameterT>
  declare_parameters(
    const std::string & namespace_,
    const std::map<std::string, ParameterT> & parameters,
    bool ignore_overrides = false)
  {
    std::vector<ParameterT> result;
    std::string normalized_namespace = namespace_.empty() ? "" : (namespace_ + ".");
    for (const auto & element : parameters) {
      result.push_back(
        static_cast<ParameterT>(
          this->declare_parameter(
            normalized_namespace + element.first, element.second,
            rcl_interfaces::msg::ParameterDescriptor(), ignore_overrides)));
    }
    return result;
  }

  /// \throws exceptions::ParameterNotDeclaredException, exceptions::ParameterImmutableException
  ///   (read-only), exceptions::InvalidParameterTypeException (statically typed)
  RCLCPP_PUBLIC
  void
  undeclare_parameter(const std::string & name) override;

  RCLCPP_PUBLIC
  bool
  has_parameter(const std::string & name) const override;

  /// set_parameters_atomically() of the single parameter, as rclcpp::Node::set_parameter().
  RCLCPP_PUBLIC
  rcl_interfaces::msg::SetParametersResult
  set_parameter(const rclcpp::Parameter & parameter);

  /// Each parameter set on its own; one result per parameter.
  RCLCPP_PUBLIC
  std::vector<rcl_interfaces::msg::SetParametersResult>
  set_parameters(const std::vector<rclcpp::Parameter> & parameters) override;

  /// All parameters set, or none. Read-only parameters, type mismatches, ranges and on-set
  /// callbacks make it fail with a reason; a parameter set to PARAMETER_NOT_SET is undeclared.
  /**
   * \throws exceptions::ParameterNotDeclaredException for an undeclared name (unless
   *   undeclared parameters are allowed)
   * \throws exceptions::InvalidParametersException for an empty name
   */
  RCLCPP_PUBLIC
  rcl_interfaces::msg::SetParametersResult
  set_parameters_atomically(const std::vector<rclcpp::Parameter> & parameters) override;

  /// \throws exceptions::ParameterNotDeclaredException (unless undeclared ones are allowed)
  RCLCPP_PUBLIC
  std::vector<rclcpp::Parameter>
  get_parameters(const std::vector<std::string> & names) const override;

  /// \throws exceptions::ParameterNotDeclaredException (unless undeclared ones are allowed)
  /// \throws exceptions::ParameterUninitializedException for a statically typed parameter
  ///   declared without a value
  RCLCPP_PUBLIC
  rclcpp::Parameter
  get_parameter(const std::string & name) const override;

  /// False if the parameter is undeclared or has no value.
  RCLCPP_PUBLIC
  bool
  get_parameter(const std::string & name, rclcpp::Parameter & parameter) const override;

  /// False if the parameter is undeclared or has no value; a value of another type throws
  /// exceptions::InvalidParameterTypeException.
  template<typename ParameterT>
  bool
  get_parameter(const std::string & name, ParameterT & parameter) const
  {
    rclcpp::Parameter parameter_variant;
    bool result = get_parameter(name, parameter_variant);
    if (result) {
      parameter = static_cast<ParameterT>(parameter_variant.get_value<ParameterT>());
    }
    return result;
  }

  template<typename ParameterT>
  bool
  get_parameter_or(
    const std::string & name,
    ParameterT & parameter,
    const ParameterT & alternative_value) const
  {
    bool got_parameter = get_parameter(name, parameter);
    if (!got_parameter) {
      parameter = alternative_value;
    }
    return got_parameter;
  }

  /// Parameters named "prefix.*", keyed by the rest of their name.
  RCLCPP_PUBLIC
  bool
  get_parameters_by_prefix(
    const std::string & prefix,
    std::map<std::string, rclcpp::Parameter> & parameters) const override;

  template<typename ParameterT>
  bool
  get_parameters(const std::string & prefix, std::map<std::string, ParameterT> & values) const
  {
    std::map<std::string, rclcpp::Parameter> params;
    bool result = get_parameters_by_prefix(prefix, params);
    if (result) {
      for (const auto & param : params) {
        values[param.first] = static_cast<ParameterT>(param.second.get_value<ParameterT>());
      }
    }
    return result;
  }

  /// \throws exceptions::ParameterNotDeclaredException (unless undeclared ones are allowed)
  RCLCPP_PUBLIC
  rcl_interfaces::msg::ParameterDescriptor
  describe_parameter(const std::string & name) const;

  RCLCPP_PUBLIC
  std::vector<rcl_interfaces::msg::ParameterDescriptor>
  describe_parameters(const std::vector<std::string> & names) const override;

  RCLCPP_PUBLIC
  std::vector<uint8_t>
  get_parameter_types(const std::vector<std::string> & names) const override;

  /// Names (and their '.'-prefixes) under the given prefixes, at most depth levels deep
  /// (0 = any depth).
  RCLCPP_PUBLIC
  rcl_interfaces::msg::ListParametersResult
  list_parameters(const std::vector<std::string> & prefixes, uint64_t depth) const override;

  /// Register a callback that may reject parameter changes. The newest callback runs first;
  /// the first rejection wins. It stays registered while the returned handle lives.
  RCLCPP_PUBLIC
  OnSetParametersCallbackHandle::SharedPtr
  add_on_set_parameters_callback(OnSetParametersCallbackType callback) override;

  /// \throws std::runtime_error("Callback doesn't exist") for an unknown handle
  RCLCPP_PUBLIC
  void
  remove_on_set_parameters_callback(const OnSetParametersCallbackHandle * const handler) override;

  /// The resolved overrides: parameter name to value.
  RCLCPP_PUBLIC
  const std::map<std::string, rclcpp::ParameterValue> &
  get_parameter_overrides() const override;

private:
  RCLCPP_DISABLE_COPY(NodeParameters)

  using CallbacksContainerType = std::list<OnSetParametersCallbackHandle::WeakPtr>;

  const rclcpp::ParameterValue &
  declare_parameter_helper(
    const std::string & name,
    rclcpp::ParameterType type,
    const rclcpp::ParameterValue & default_value,
    rcl_interfaces::msg::ParameterDescriptor parameter_descriptor,
    bool ignore_override);

  rcl_interfaces::msg::SetParametersResult
  declare_parameter_common(
    const std::string & name,
    const rclcpp::ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor,
    std::map<std::string, ParameterInfo> & parameters_out,
    CallbacksContainerType & callback_container,
    bool ignore_override);

  rcl_interfaces::msg::SetParametersResult
  set_parameters_atomically_common(
    const std::vector<rclcpp::Parameter> & parameters,
    std::map<std::string, ParameterInfo> & parameter_infos,
    CallbacksContainerType & callback_container,
    bool allow_undeclared);

  rcl_interfaces::msg::SetParametersResult
  check_parameters(
    std::map<std::string, ParameterInfo> & parameter_infos,
    const std::vector<rclcpp::Parameter> & parameters,
    bool allow_undeclared) const;

  // Recursive so that a callback can read parameters while a set holds the lock;
  // parameter_modification_enabled_ is what stops it from changing them.
  mutable std::recursive_mutex mutex_;
  bool parameter_modification_enabled_ = true;
  std::map<std::string, ParameterInfo> parameters_;
  std::map<std::string, rclcpp::ParameterValue> parameter_overrides_;
  CallbacksContainerType on_set_parameters_callback_container_;
  bool allow_undeclared_;
  std::string combined_name_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__NODE_PARAMETERS_HPP_
