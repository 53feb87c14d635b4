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

#include "rclcpp/context.hpp"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/detail/dds_domain_config.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{
namespace detail
{

/// The initialized contexts, so that the signal handler can shut them all down.
class ContextRegistry
{
public:
  static std::shared_ptr<ContextRegistry>
  get()
  {
    static std::shared_ptr<ContextRegistry> registry = std::make_shared<ContextRegistry>();
    return registry;
  }

  void
  add(const std::weak_ptr<Context> & context)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    contexts_.push_back(context);
  }

  void
  remove(const Context * context)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    contexts_.erase(
      std::remove_if(
        contexts_.begin(), contexts_.end(),
        [context](const std::weak_ptr<Context> & weak) {
          auto locked = weak.lock();
          return !locked || locked.get() == context;
        }),
      contexts_.end());
  }

  std::vector<Context::SharedPtr>
  get_all()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Context::SharedPtr> result;
    for (const auto & weak : contexts_) {
      if (auto context = weak.lock()) {
        result.push_back(context);
      }
    }
    return result;
  }

private:
  std::mutex mutex_;
  std::vector<std::weak_ptr<Context>> contexts_;
};

}  // namespace detail

bool
detail::was_initialized(const Context & context)
{
  std::lock_guard<std::recursive_mutex> lock(context.init_mutex_);
  return context.initialized_once_;
}

Context::Context()
: registry_(detail::ContextRegistry::get())
{}

Context::~Context()
{
  // A context that goes away while still valid must still run its on-shutdown callbacks.
  try {
    this->shutdown("context destructor was called while still not shutdown");
  } catch (...) {
  }
  registry_->remove(this);
}

void
Context::init(int argc, char const * const * argv, const rclcpp::InitOptions & init_options)
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  if (valid_) {
    throw rclcpp::ContextAlreadyInitialized();
  }
  if (argc < 0 || (argc > 0 && argv == nullptr)) {
    rcutils_reset_error();
    RCUTILS_SET_ERROR_MSG("argc must be 0 or more and argv must be given when argc is not 0");
    exceptions::throw_from_rcl_error(RCL_RET_INVALID_ARGUMENT, "failed to initialize rcl");
  }

  detail::Arguments arguments;
  try {
    arguments = detail::Arguments::parse(argc, argv);
  } catch (const exceptions::RCLInvalidROSArgsError & error) {
    throw exceptions::RCLInvalidROSArgsError(error, "failed to initialize rcl: ");
  }
  if (!arguments.unknown_ros_arguments().empty()) {
    std::vector<std::string> unknown = arguments.unknown_ros_arguments();
    throw exceptions::UnknownROSArgsError(std::move(unknown));
  }

  global_arguments_ = std::move(arguments);
  init_options_ = init_options;
  shutdown_reason_.clear();
  initialized_once_ = true;
  valid_ = true;
  // Only contexts owned by a shared_ptr can be found by the signal handler.
  if (auto self = weak_from_this().lock()) {
    registry_->add(self);
  }
}

bool
Context::is_valid() const
{
  return valid_;
}

const rclcpp::InitOptions &
Context::get_init_options() const
{
  return init_options_;
}

rclcpp::InitOptions
Context::get_init_options()
{
  return init_options_;
}

size_t
Context::get_domain_id() const
{
  // Like rcl, the context reports the domain it joined: unless one was set, ROS_DOMAIN_ID's.
  const size_t set = init_options_.get_domain_id();
  return set != SIZE_MAX ? set : detail::DdsDomainConfig::from_environment().domain_id;
}

std::string
Context::shutdown_reason() const
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return shutdown_reason_;
}

bool
Context::shutdown(const std::string & reason)
{
  // Held throughout, so that a second shutdown() waits until the first one ran the
  // callbacks, then returns false.
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  if (!valid_) {
    return false;
  }
  shutdown_reason_ = reason;
  valid_ = false;

  // Callbacks run on a copy so that they may add or remove callbacks themselves.
  std::vector<std::shared_ptr<OnShutdownCallback>> callbacks;
  {
    std::lock_guard<std::mutex> callbacks_lock(on_shutdown_callbacks_mutex_);
    callbacks = on_shutdown_callbacks_;
  }
  for (const auto & callback : callbacks) {
    (*callback)();
  }

  this->interrupt_all_sleep_for();
  registry_->remove(this);
  return true;
}

Context::OnShutdownCallback
Context::on_shutdown(OnShutdownCallback callback)
{
  add_on_shutdown_callback(callback);
  return callback;
}

OnShutdownCallbackHandle
Context::add_on_shutdown_callback(OnShutdownCallback callback)
{
  auto callback_shared_ptr = std::make_shared<OnShutdownCallback>(std::move(callback));
  {
    std::lock_guard<std::mutex> lock(on_shutdown_callbacks_mutex_);
    on_shutdown_callbacks_.push_back(callback_shared_ptr);
  }
  OnShutdownCallbackHandle callback_handle;
  callback_handle.callback = callback_shared_ptr;
  return callback_handle;
}

bool
Context::remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle)
{
  auto callback_shared_ptr = callback_handle.callback.lock();
  if (!callback_shared_ptr) {
    return false;
  }
  std::lock_guard<std::mutex> lock(on_shutdown_callbacks_mutex_);
  auto it = std::find(
    on_shutdown_callbacks_.begin(), on_shutdown_callbacks_.end(), callback_shared_ptr);
  if (it == on_shutdown_callbacks_.end()) {
    return false;
  }
  on_shutdown_callbacks_.erase(it);
  return true;
}

std::vector<Context::OnShutdownCallback>
Context::get_on_shutdown_callbacks() const
{
  std::lock_guard<std::mutex> lock(on_shutdown_callbacks_mutex_);
  std::vector<OnShutdownCallback> callbacks;
  for (const auto & callback : on_shutdown_callbacks_) {
    callbacks.push_back(*callback);
  }
  return callbacks;
}

bool
Context::sleep_for(const std::chrono::nanoseconds & nanoseconds)
{
  const auto deadline = std::chrono::steady_clock::now() + nanoseconds;
  std::unique_lock<std::mutex> lock(interrupt_mutex_);
  interrupt_condition_variable_.wait_until(lock, deadline, [this]() {return !valid_;});
  return valid_;
}

void
Context::interrupt_all_sleep_for()
{
  // Taking the mutex orders this after a sleeper's check of valid_, so none misses the wakeup.
  {
    std::lock_guard<std::mutex> lock(interrupt_mutex_);
  }
  interrupt_condition_variable_.notify_all();
}

const rclcpp::detail::Arguments &
Context::get_global_arguments() const
{
  return global_arguments_;
}

std::vector<Context::SharedPtr>
get_contexts()
{
  return detail::ContextRegistry::get()->get_all();
}

}  // namespace rclcpp
