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

#include "rclcpp/detail/node_parameters.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rclcpp/detail/arguments.hpp"

namespace rclcpp
{
namespace detail
{

namespace
{

/// Stops on-set callbacks from changing parameters or callbacks: the set that runs them
/// holds the (recursive) lock, so such a change would act on half-applied state.
class ParameterMutationRecursionGuard
{
public:
  explicit ParameterMutationRecursionGuard(bool & allow_modification)
  : allow_modification_(allow_modification)
  {
    if (!allow_modification_) {
      throw rclcpp::exceptions::ParameterModifiedInCallbackException(
              "cannot set or declare a parameter, or change the callback from within set callback");
    }
    allow_modification_ = false;
  }

  ~ParameterMutationRecursionGuard()
  {
    allow_modification_ = true;
  }

  ParameterMutationRecursionGuard(const ParameterMutationRecursionGuard &) = delete;
  ParameterMutationRecursionGuard & operator=(const ParameterMutationRecursionGuard &) = delete;

private:
  bool & allow_modification_;
};

// declare_parameter_helper() recognizes type errors by this prefix of the reason.
constexpr char kTypeErrorReasonStart[] = "Wrong parameter type";

std::string
format_type_reason(
  const std::string & name, const std::string & old_type, const std::string & new_type)
{
  std::ostringstream ss;
  ss << kTypeErrorReasonStart << ", parameter {" << name << "} is of type {" << old_type <<
    "}, setting it to {" << new_type << "} is not allowed.";
  return ss.str();
}

std::string
format_range_reason(const std::string & name, const char * range_type)
{
  std::ostringstream ss;
  ss << "Parameter {" << name << "} doesn't comply with " << range_type << " range.";
  return ss.str();
}

// Relative comparison, so that steps like 0.1 are accepted despite rounding.
bool
are_doubles_equal(double x, double y, double ulp = 100.0)
{
  return std::abs(x - y) <= std::numeric_limits<double>::epsilon() * std::abs(x + y) * ulp;
}

rcl_interfaces::msg::SetParametersResult
check_parameter_value_in_range(
  const rcl_interfaces::msg::ParameterDescriptor & descriptor,
  const rclcpp::ParameterValue & value)
{
  rcl_interfaces::msg::SetParametersResult result;
  result.successful = true;
  if (!descriptor.integer_range.empty() && value.get_type() == rclcpp::PARAMETER_INTEGER) {
    const int64_t v = value.get<int64_t>();
    const auto & range = descriptor.integer_range.at(0);
    if (v == range.from_value || v == range.to_value) {
      return result;
    }
    if (v < range.from_value || v > range.to_value) {
      result.successful = false;
      result.reason = format_range_reason(descriptor.name, "integer");
      return result;
    }
    if (range.step == 0 || ((v - range.from_value) % static_cast<int64_t>(range.step)) == 0) {
      return result;
    }
    result.successful = false;
    result.reason = format_range_reason(descriptor.name, "integer");
    return result;
  }
  if (!descriptor.floating_point_range.empty() && value.get_type() == rclcpp::PARAMETER_DOUBLE) {
    const double v = value.get<double>();
    const auto & range = descriptor.floating_point_range.at(0);
    if (are_doubles_equal(v, range.from_value) || are_doubles_equal(v, range.to_value)) {
      return result;
    }
    if (v < range.from_value || v > range.to_value) {
      result.successful = false;
      result.reason = format_range_reason(descriptor.name, "floating point");
      return result;
    }
    if (range.step == 0.0) {
      return result;
    }
    const double rounded_div = std::round((v - range.from_value) / range.step);
    if (are_doubles_equal(v, range.from_value + rounded_div * range.step)) {
      return result;
    }
    result.successful = false;
    result.reason = format_range_reason(descriptor.name, "floating point");
    return result;
  }
  return result;
}

template<typename CallbacksContainerT>
rcl_interfaces::msg::SetParametersResult
call_on_set_parameters_callbacks(
  const std::vector<rclcpp::Parameter> & parameters,
  CallbacksContainerT & callback_container)
{
  rcl_interfaces::msg::SetParametersResult result;
  result.successful = true;
  auto it = callback_container.begin();
  while (it != callback_container.end()) {
    auto shared_handle = it->lock();
    if (shared_handle) {
      result = shared_handle->callback(parameters);
      if (!result.successful) {
        return result;
      }
      ++it;
    } else {
      // The user dropped the handle: the callback is gone.
      it = callback_container.erase(it);
    }
  }
  return result;
}

}  // namespace

NodeParameters::NodeParameters(
  const std::string & fully_qualified_node_name,
  const rclcpp::NodeOptions & options,
  const rclcpp::Context::SharedPtr & context)
: allow_undeclared_(options.allow_undeclared_parameters()),
  combined_name_(fully_qualified_node_name)
{
  // Global arguments first, then the node's own, then the explicit overrides, so that the
  // more specific source wins.
  if (options.use_global_arguments() && context) {
    context->get_global_arguments().apply_parameter_overrides(combined_name_, parameter_overrides_);
  }
  Arguments::parse(options.arguments()).apply_parameter_overrides(
    combined_name_, parameter_overrides_);
  for (const auto & parameter : options.parameter_overrides()) {
    parameter_overrides_[parameter.get_name()] = parameter.get_parameter_value();
  }

  if (options.automatically_declare_parameters_from_overrides()) {
    rcl_interfaces::msg::ParameterDescriptor descriptor;
    descriptor.dynamic_typing = true;
    for (const auto & pair : parameter_overrides_) {
      if (!has_parameter(pair.first)) {
        declare_parameter(pair.first, pair.second, descriptor, true);
      }
    }
  }
}

NodeParameters::~NodeParameters() = default;

const rclcpp::ParameterValue &
NodeParameters::declare_parameter(
  const std::string & name,
  const rclcpp::ParameterValue & default_value,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor,
  bool ignore_override)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
  return declare_parameter_helper(
    name, rclcpp::PARAMETER_NOT_SET, default_value, parameter_descriptor, ignore_override);
}

const rclcpp::ParameterValue &
NodeParameters::declare_parameter(
  const std::string & name,
  rclcpp::ParameterType type,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor,
  bool ignore_override)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
  if (rclcpp::PARAMETER_NOT_SET == type) {
    throw std::invalid_argument{
            "declare_parameter(): the provided parameter type cannot be rclcpp::PARAMETER_NOT_SET"};
  }
  if (parameter_descriptor.dynamic_typing) {
    throw std::invalid_argument{
            "declare_parameter(): cannot declare parameter of specific type and pass descriptor "
            "with `dynamic_typing=true`"};
  }
  return declare_parameter_helper(
    name, type, rclcpp::ParameterValue{}, parameter_descriptor, ignore_override);
}

const rclcpp::ParameterValue &
NodeParameters::declare_parameter_helper(
  const std::string & name,
  rclcpp::ParameterType type,
  const rclcpp::ParameterValue & default_value,
  rcl_interfaces::msg::ParameterDescriptor parameter_descriptor,
  bool ignore_override)
{
  if (name.empty()) {
    throw rclcpp::exceptions::InvalidParametersException("parameter name must not be empty");
  }
  if (parameters_.count(name) != 0) {
    throw rclcpp::exceptions::ParameterAlreadyDeclaredException(
            "parameter '" + name + "' has already been declared");
  }
  if (!parameter_descriptor.dynamic_typing) {
    if (rclcpp::PARAMETER_NOT_SET == type) {
      type = default_value.get_type();
    }
    if (rclcpp::PARAMETER_NOT_SET == type) {
      throw rclcpp::exceptions::InvalidParameterTypeException{
              name, "cannot declare a statically typed parameter with an uninitialized value"};
    }
    parameter_descriptor.type = static_cast<uint8_t>(type);
  }

  auto result = declare_parameter_common(
    name, default_value, parameter_descriptor, parameters_,
    on_set_parameters_callback_container_, ignore_override);
  if (!result.successful) {
    if (result.reason.rfind(kTypeErrorReasonStart, 0) == 0) {
      throw rclcpp::exceptions::InvalidParameterTypeException{name, result.reason};
    }
    throw rclcpp::exceptions::InvalidParameterValueException(
            "parameter '" + name + "' could not be set: " + result.reason);
  }
  return parameters_.at(name).value;
}

rcl_interfaces::msg::SetParametersResult
NodeParameters::declare_parameter_common(
  const std::string & name,
  const rclcpp::ParameterValue & default_value,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor,
  std::map<std::string, ParameterInfo> & parameters_out,
  CallbacksContainerType & callback_container,
  bool ignore_override)
{
  std::map<std::string, ParameterInfo> parameter_infos{{name, ParameterInfo()}};
  parameter_infos.at(name).descriptor = parameter_descriptor;

  // An override replaces the default, unless asked not to.
  const rclcpp::ParameterValue * initial_value = &default_value;
  auto overrides_it = parameter_overrides_.find(name);
  if (!ignore_override && overrides_it != parameter_overrides_.end()) {
    initial_value = &overrides_it->second;
  }

  // Without any value the parameter is declared but stays unset; no callback runs.
  if (initial_value->get_type() == rclcpp::PARAMETER_NOT_SET) {
    ParameterInfo & info = parameter_infos.at(name);
    info.descriptor.name = name;
    info.descriptor.type = parameter_descriptor.dynamic_typing ?
      static_cast<uint8_t>(rclcpp::PARAMETER_NOT_SET) : parameter_descriptor.type;
    parameters_out[name] = info;
    rcl_interfaces::msg::SetParametersResult result;
    result.successful = true;
    return result;
  }

  std::vector<rclcpp::Parameter> parameter_wrappers{rclcpp::Parameter(name, *initial_value)};
  auto result = set_parameters_atomically_common(
    parameter_wrappers, parameter_infos, callback_container, false);
  if (!result.successful) {
    return result;
  }
  parameters_out[name] = parameter_infos.at(name);
  return result;
}

rcl_interfaces::msg::SetParametersResult
NodeParameters::check_parameters(
  std::map<std::string, ParameterInfo> & parameter_infos,
  const std::vector<rclcpp::Parameter> & parameters,
  bool allow_undeclared) const
{
  rcl_interfaces::msg::SetParametersResult result;
  result.successful = true;
  for (const rclcpp::Parameter & parameter : parameters) {
    const std::string & name = parameter.get_name();
    rcl_interfaces::msg::ParameterDescriptor descriptor;
    if (allow_undeclared) {
      auto it = parameter_infos.find(name);
      if (it != parameter_infos.cend()) {
        descriptor = it->second.descriptor;
      } else {
        // Implicitly declared parameters take any type.
        descriptor.dynamic_typing = true;
      }
    } else {
      descriptor = parameter_infos[name].descriptor;
    }
    if (descriptor.name.empty()) {
      descriptor.name = name;
    }
    const auto new_type = parameter.get_type();
    const auto specified_type = static_cast<rclcpp::ParameterType>(descriptor.type);
    result.successful = descriptor.dynamic_typing || specified_type == new_type;
    if (!result.successful) {
      result.reason = format_type_reason(
        name, rclcpp::to_string(specified_type), rclcpp::to_string(new_type));
      return result;
    }
    result = check_parameter_value_in_range(descriptor, parameter.get_parameter_value());
    if (!result.successful) {
      return result;
    }
  }
  return result;
}

rcl_interfaces::msg::SetParametersResult
NodeParameters::set_parameters_atomically_common(
  const std::vector<rclcpp::Parameter> & parameters,
  std::map<std::string, ParameterInfo> & parameter_infos,
  CallbacksContainerType & callback_container,
  bool allow_undeclared)
{
  // Types and ranges first, then the user's callbacks, and only then any change.
  auto result = check_parameters(parameter_infos, parameters, allow_undeclared);
  if (!result.successful) {
    return result;
  }
  result = call_on_set_parameters_callbacks(parameters, callback_container);
  if (!result.successful) {
    return result;
  }
  for (const auto & parameter : parameters) {
    const std::string & name = parameter.get_name();
    parameter_infos[name].descriptor.name = name;
    parameter_infos[name].descriptor.type = parameter.get_type();
    parameter_infos[name].value = parameter.get_parameter_value();
  }
  return result;
}

void
NodeParameters::undeclare_parameter(const std::string & name)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
  auto parameter_info = parameters_.find(name);
  if (parameter_info == parameters_.end()) {
    throw rclcpp::exceptions::ParameterNotDeclaredException(
            "cannot undeclare parameter '" + name + "' which has not yet been declared");
  }
  if (parameter_info->second.descriptor.read_only) {
    throw rclcpp::exceptions::ParameterImmutableException(
            "cannot undeclare parameter '" + name + "' because it is read-only");
  }
  if (!parameter_info->second.descriptor.dynamic_typing) {
    throw rclcpp::exceptions::InvalidParameterTypeException{
            name, "cannot undeclare an statically typed parameter"};
  }
  parameters_.erase(parameter_info);
}

bool
NodeParameters::has_parameter(const std::string & name) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return parameters_.count(name) != 0;
}

rcl_interfaces::msg::SetParametersResult
NodeParameters::set_parameter(const rclcpp::Parameter & parameter)
{
  return set_parameters_atomically({parameter});
}

std::vector<rcl_interfaces::msg::SetParametersResult>
NodeParameters::set_parameters(const std::vector<rclcpp::Parameter> & parameters)
{
  std::vector<rcl_interfaces::msg::SetParametersResult> results;
  results.reserve(parameters.size());
  for (const auto & parameter : parameters) {
    results.push_back(set_parameters_atomically({parameter}));
  }
  return results;
}

rcl_interfaces::msg::SetParametersResult
NodeParameters::set_parameters_atomically(const std::vector<rclcpp::Parameter> & parameters)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
  rcl_interfaces::msg::SetParametersResult result;

  // Undeclared names either fail the whole call or, if allowed, get declared below;
  // read-only parameters fail it with a reason.
  std::vector<const rclcpp::Parameter *> parameters_to_be_declared;
  for (const auto & parameter : parameters) {
    const std::string & name = parameter.get_name();
    if (name.empty()) {
      throw rclcpp::exceptions::InvalidParametersException("parameter name must not be empty");
    }
    auto parameter_info = parameters_.find(name);
    if (parameter_info == parameters_.end()) {
      if (allow_undeclared_) {
        parameters_to_be_declared.push_back(&parameter);
        continue;
      }
      throw rclcpp::exceptions::ParameterNotDeclaredException(
              "parameter '" + name + "' cannot be set because it was not declared");
    }
    if (parameter_info->second.descriptor.read_only) {
      result.successful = false;
      result.reason = "parameter '" + name + "' cannot be set because it is read-only";
      return result;
    }
  }

  // Implicit declarations are staged so that nothing changes if any later step fails; the
  // callbacks run once below, for all parameters together.
  std::map<std::string, ParameterInfo> staged_parameter_changes;
  CallbacksContainerType empty_callback_container;
  rcl_interfaces::msg::ParameterDescriptor dynamic_descriptor;
  dynamic_descriptor.dynamic_typing = true;
  for (const auto * parameter_to_be_declared : parameters_to_be_declared) {
    result = declare_parameter_common(
      parameter_to_be_declared->get_name(), parameter_to_be_declared->get_parameter_value(),
      dynamic_descriptor, staged_parameter_changes, empty_callback_container, true);
    if (!result.successful) {
      return result;
    }
  }

  // Undeclaring by setting PARAMETER_NOT_SET only works for dynamically typed parameters.
  std::vector<const rclcpp::Parameter *> parameters_to_be_undeclared;
  for (const auto & parameter : parameters) {
    if (rclcpp::PARAMETER_NOT_SET != parameter.get_type()) {
      continue;
    }
    auto it = parameters_.find(parameter.get_name());
    if (it != parameters_.end() && rclcpp::PARAMETER_NOT_SET != it->second.value.get_type()) {
      if (!it->second.descriptor.dynamic_typing) {
        result.reason = "cannot undeclare a statically typed parameter";
        result.successful = false;
        return result;
      }
      parameters_to_be_undeclared.push_back(&parameter);
    }
  }

  result = set_parameters_atomically_common(
    parameters, parameters_, on_set_parameters_callback_container_, allow_undeclared_);
  if (!result.successful) {
    return result;
  }

  // The set stored name, type and value; the staged declaration adds the descriptor.
  for (const auto & staged : staged_parameter_changes) {
    parameters_[staged.first] = staged.second;
  }
  for (const auto * parameter_to_undeclare : parameters_to_be_undeclared) {
    parameters_.erase(parameter_to_undeclare->get_name());
  }
  return result;
}

std::vector<rclcpp::Parameter>
NodeParameters::get_parameters(const std::vector<std::string> & names) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<rclcpp::Parameter> results;
  results.reserve(names.size());
  for (const auto & name : names) {
    auto found = parameters_.find(name);
    if (found != parameters_.cend()) {
      results.emplace_back(name, found->second.value);
    } else if (allow_undeclared_) {
      results.emplace_back(name, rclcpp::ParameterValue());
    } else {
      throw rclcpp::exceptions::ParameterNotDeclaredException(name);
    }
  }
  return results;
}

rclcpp::Parameter
NodeParameters::get_parameter(const std::string & name) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto param_iter = parameters_.find(name);
  if (parameters_.end() != param_iter) {
    if (param_iter->second.value.get_type() != rclcpp::PARAMETER_NOT_SET ||
      param_iter->second.descriptor.dynamic_typing)
    {
      return rclcpp::Parameter{name, param_iter->second.value};
    }
    throw rclcpp::exceptions::ParameterUninitializedException(name);
  }
  if (allow_undeclared_) {
    return rclcpp::Parameter{name};
  }
  throw rclcpp::exceptions::ParameterNotDeclaredException(name);
}

bool
NodeParameters::get_parameter(const std::string & name, rclcpp::Parameter & parameter) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto param_iter = parameters_.find(name);
  if (parameters_.end() != param_iter &&
    param_iter->second.value.get_type() != rclcpp::PARAMETER_NOT_SET)
  {
    parameter = {name, param_iter->second.value};
    return true;
  }
  return false;
}

bool
NodeParameters::get_parameters_by_prefix(
  const std::string & prefix,
  std::map<std::string, rclcpp::Parameter> & parameters) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string prefix_with_dot = prefix.empty() ? prefix : prefix + ".";
  bool ret = false;
  for (const auto & param : parameters_) {
    if (param.first.find(prefix_with_dot) == 0 && param.first.length() > prefix_with_dot.length()) {
      parameters[param.first.substr(prefix_with_dot.length())] =
        rclcpp::Parameter(param.first, param.second.value);
      ret = true;
    }
  }
  return ret;
}

rcl_interfaces::msg::ParameterDescriptor
NodeParameters::describe_parameter(const std::string & name) const
{
  auto result = describe_parameters({name});
  if (result.empty()) {
    throw rclcpp::exceptions::ParameterNotDeclaredException(name);
  }
  return result.front();
}

std::vector<rcl_interfaces::msg::ParameterDescriptor>
NodeParameters::describe_parameters(const std::vector<std::string> & names) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<rcl_interfaces::msg::ParameterDescriptor> results;
  results.reserve(names.size());
  for (const auto & name : names) {
    auto it = parameters_.find(name);
    if (it != parameters_.cend()) {
      results.push_back(it->second.descriptor);
    } else if (allow_undeclared_) {
      rcl_interfaces::msg::ParameterDescriptor default_description;
      default_description.name = name;
      results.push_back(default_description);
    } else {
      throw rclcpp::exceptions::ParameterNotDeclaredException(name);
    }
  }
  return results;
}

std::vector<uint8_t>
NodeParameters::get_parameter_types(const std::vector<std::string> & names) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<uint8_t> results;
  results.reserve(names.size());
  for (const auto & name : names) {
    auto it = parameters_.find(name);
    if (it != parameters_.cend()) {
      results.push_back(it->second.value.get_type());
    } else if (allow_undeclared_) {
      results.push_back(rcl_interfaces::msg::ParameterType::PARAMETER_NOT_SET);
    } else {
      throw rclcpp::exceptions::ParameterNotDeclaredException(name);
    }
  }
  return results;
}

rcl_interfaces::msg::ListParametersResult
NodeParameters::list_parameters(const std::vector<std::string> & prefixes, uint64_t depth) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  rcl_interfaces::msg::ListParametersResult result;
  static constexpr char separator = '.';
  const auto deep_enough = [depth](const std::string & name) {
      return depth == rcl_interfaces::srv::ListParameters::Request::DEPTH_RECURSIVE ||
             static_cast<uint64_t>(std::count(name.begin(), name.end(), separator)) < depth;
    };
  for (const auto & kv : parameters_) {
    const bool get_all = prefixes.empty() && deep_enough(kv.first);
    const bool prefix_matches = std::any_of(
      prefixes.cbegin(), prefixes.cend(),
      [&kv, &deep_enough](const std::string & prefix) {
        if (kv.first == prefix) {
          return true;
        }
        if (kv.first.find(prefix + separator) == 0) {
          return deep_enough(kv.first.substr(prefix.length()));
        }
        return false;
      });
    if (get_all || prefix_matches) {
      result.names.push_back(kv.first);
      const size_t last_separator = kv.first.find_last_of(separator);
      if (std::string::npos != last_separator) {
        const std::string prefix = kv.first.substr(0, last_separator);
        if (std::find(result.prefixes.cbegin(), result.prefixes.cend(), prefix) ==
          result.prefixes.cend())
        {
          result.prefixes.push_back(prefix);
        }
      }
    }
  }
  return result;
}

NodeParameters::OnSetParametersCallbackHandle::SharedPtr
NodeParameters::add_on_set_parameters_callback(OnSetParametersCallbackType callback)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
  auto handle = std::make_shared<OnSetParametersCallbackHandle>();
  handle->callback = callback;
  // Newest first, as rclcpp runs them.
  on_set_parameters_callback_container_.emplace_front(handle);
  return handle;
}

void
NodeParameters::remove_on_set_parameters_callback(
  const OnSetParametersCallbackHandle * const handle)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
  auto it = std::find_if(
    on_set_parameters_callback_container_.begin(),
    on_set_parameters_callback_container_.end(),
    [handle](const OnSetParametersCallbackHandle::WeakPtr & weak_handle) {
      return handle == weak_handle.lock().get();
    });
  if (it == on_set_parameters_callback_container_.end()) {
    throw std::runtime_error("Callback doesn't exist");
  }
  on_set_parameters_callback_container_.erase(it);
}

const std::map<std::string, rclcpp::ParameterValue> &
NodeParameters::get_parameter_overrides() const
{
  return parameter_overrides_;
}

}  // namespace detail
}  // namespace rclcpp
