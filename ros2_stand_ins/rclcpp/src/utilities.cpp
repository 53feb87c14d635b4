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

#include "rclcpp/utilities.hpp"

#include <string>
#include <vector>

#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/detail/arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "signal_handler.hpp"

namespace rclcpp
{

namespace
{

rclcpp::Context::SharedPtr
or_global_default_context(rclcpp::Context::SharedPtr context)
{
  return context ? context : rclcpp::contexts::get_global_default_context();
}

}  // namespace

void
init(
  int argc,
  char const * const * argv,
  const InitOptions & init_options,
  SignalHandlerOptions signal_handler_options)
{
  rclcpp::contexts::get_global_default_context()->init(argc, argv, init_options);
  install_signal_handlers(signal_handler_options);
}

bool
install_signal_handlers(SignalHandlerOptions signal_handler_options)
{
  return SignalHandler::get_global_signal_handler().install(signal_handler_options);
}

bool
signal_handlers_installed()
{
  return SignalHandler::get_global_signal_handler().is_installed();
}

SignalHandlerOptions
get_current_signal_handler_options()
{
  return SignalHandler::get_global_signal_handler().get_current_signal_handler_options();
}

bool
uninstall_signal_handlers()
{
  return SignalHandler::get_global_signal_handler().uninstall();
}

std::vector<std::string>
init_and_remove_ros_arguments(
  int argc,
  char const * const * argv,
  const InitOptions & init_options)
{
  init(argc, argv, init_options);
  return remove_ros_arguments(argc, argv);
}

std::vector<std::string>
remove_ros_arguments(int argc, char const * const * argv)
{
  try {
    return rclcpp::detail::Arguments::parse(argc, argv).non_ros_arguments();
  } catch (const exceptions::RCLInvalidROSArgsError & error) {
    throw exceptions::RCLInvalidROSArgsError(error, "failed to parse arguments: ");
  }
}

bool
ok(rclcpp::Context::SharedPtr context)
{
  return or_global_default_context(context)->is_valid();
}

bool
shutdown(rclcpp::Context::SharedPtr context, const std::string & reason)
{
  auto default_context = rclcpp::contexts::get_global_default_context();
  context = or_global_default_context(context);
  bool ret = context->shutdown(reason);
  if (context == default_context) {
    uninstall_signal_handlers();
  }
  return ret;
}

void
on_shutdown(std::function<void()> callback, rclcpp::Context::SharedPtr context)
{
  or_global_default_context(context)->on_shutdown(callback);
}

bool
sleep_for(const std::chrono::nanoseconds & nanoseconds, rclcpp::Context::SharedPtr context)
{
  return or_global_default_context(context)->sleep_for(nanoseconds);
}

const char *
get_c_string(const char * string_in)
{
  return string_in;
}

const char *
get_c_string(const std::string & string_in)
{
  return string_in.c_str();
}

std::vector<const char *>
get_c_vector_string(const std::vector<std::string> & strings_in)
{
  std::vector<const char *> cstrings;
  cstrings.reserve(strings_in.size());
  for (const auto & string_in : strings_in) {
    cstrings.push_back(string_in.c_str());
  }
  return cstrings;
}

}  // namespace rclcpp
