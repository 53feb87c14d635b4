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

#ifndef RCLCPP__CONTEXT_HPP_
#define RCLCPP__CONTEXT_HPP_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <typeindex>
#include <utility>
#include <vector>

#include "rclcpp/detail/arguments.hpp"
#include "rclcpp/init_options.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

class Context;

namespace detail
{
class ContextRegistry;
/// Whether init() ever succeeded: rcl tells a context it never had from one shut down.
bool was_initialized(const Context & context);
}  // namespace detail

/// Thrown when init() is called on a context that is already initialized.
class ContextAlreadyInitialized : public std::runtime_error
{
public:
  ContextAlreadyInitialized()
  : std::runtime_error("context is already initialized") {}
};

class Context;

/// Identifies one on-shutdown callback so that it can be removed again.
class OnShutdownCallbackHandle
{
  friend class Context;

public:
  using OnShutdownCallbackType = std::function<void ()>;

private:
  std::weak_ptr<OnShutdownCallbackType> callback;
};

/// The state shared by everything created from one init(): its arguments, whether it is
/// still running, and what runs when it shuts down.
class Context : public std::enable_shared_from_this<Context>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Context)

  RCLCPP_PUBLIC
  Context();

  /// Shuts the context down if it is still valid.
  RCLCPP_PUBLIC
  virtual
  ~Context();

  /// Parse the ROS arguments in argv and make the context valid.
  /**
   * Arguments outside --ros-args are left alone.
   * \throws ContextAlreadyInitialized if the context is valid
   * \throws exceptions::RCLInvalidROSArgsError if a ROS argument is malformed
   * \throws exceptions::UnknownROSArgsError if --ros-args holds flags that are not ROS arguments
   */
  RCLCPP_PUBLIC
  virtual
  void
  init(
    int argc,
    char const * const * argv,
    const rclcpp::InitOptions & init_options = rclcpp::InitOptions());

  /// True between a successful init() and shutdown().
  RCLCPP_PUBLIC
  bool
  is_valid() const;

  RCLCPP_PUBLIC
  const rclcpp::InitOptions &
  get_init_options() const;

  RCLCPP_PUBLIC
  rclcpp::InitOptions
  get_init_options();

  RCLCPP_PUBLIC
  size_t
  get_domain_id() const;

  /// The reason given to shutdown(), empty before.
  RCLCPP_PUBLIC
  std::string
  shutdown_reason() const;

  /// Make the context invalid, then run the on-shutdown callbacks and wake sleep_for().
  /**
   * \return false if the context was not valid (not initialized or already shut down)
   */
  RCLCPP_PUBLIC
  virtual
  bool
  shutdown(const std::string & reason);

  using OnShutdownCallback = OnShutdownCallbackHandle::OnShutdownCallbackType;

  /// Register a callback run by shutdown(); returns the callback.
  RCLCPP_PUBLIC
  virtual
  OnShutdownCallback
  on_shutdown(OnShutdownCallback callback);

  RCLCPP_PUBLIC
  virtual
  OnShutdownCallbackHandle
  add_on_shutdown_callback(OnShutdownCallback callback);

  /// \return false if the handle was not (or no longer) registered
  RCLCPP_PUBLIC
  virtual
  bool
  remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle);

  RCLCPP_PUBLIC
  std::vector<OnShutdownCallback>
  get_on_shutdown_callbacks() const;

  /// Sleep, returning early (false) if the context is or becomes shut down.
  RCLCPP_PUBLIC
  bool
  sleep_for(const std::chrono::nanoseconds & nanoseconds);

  RCLCPP_PUBLIC
  virtual
  void
  interrupt_all_sleep_for();

  /// One shared instance of SubContext per context, created on first use.
  template<typename SubContext, typename ... Args>
  std::shared_ptr<SubContext>
  get_sub_context(Args && ... args)
  {
    std::lock_guard<std::recursive_mutex> lock(sub_contexts_mutex_);
    std::type_index type_i(typeid(SubContext));
    auto it = sub_contexts_.find(type_i);
    if (it == sub_contexts_.end()) {
      auto sub_context = std::make_shared<SubContext>(std::forward<Args>(args)...);
      sub_contexts_[type_i] = sub_context;
      return sub_context;
    }
    return std::static_pointer_cast<SubContext>(it->second);
  }

  /// The ROS arguments given to init(); empty before.
  RCLCPP_PUBLIC
  const rclcpp::detail::Arguments &
  get_global_arguments() const;

private:
  RCLCPP_DISABLE_COPY(Context)

  friend bool detail::was_initialized(const Context & context);

  // Guards init/shutdown and the state they change.
  mutable std::recursive_mutex init_mutex_;
  // Atomic so that is_valid() never waits for a shutdown that is running callbacks.
  std::atomic<bool> valid_{false};
  bool initialized_once_{false};
  std::string shutdown_reason_;
  rclcpp::InitOptions init_options_;
  rclcpp::detail::Arguments global_arguments_;

  mutable std::mutex on_shutdown_callbacks_mutex_;
  std::vector<std::shared_ptr<OnShutdownCallback>> on_shutdown_callbacks_;

  std::mutex interrupt_mutex_;
  std::condition_variable interrupt_condition_variable_;

  // Shared so that it outlives every context, whatever order statics are destroyed in.
  std::shared_ptr<detail::ContextRegistry> registry_;

  std::recursive_mutex sub_contexts_mutex_;
  std::unordered_map<std::type_index, std::shared_ptr<void>> sub_contexts_;
};

/// Every context that is currently initialized.
RCLCPP_PUBLIC
std::vector<Context::SharedPtr>
get_contexts();

}  // namespace rclcpp

#endif  // RCLCPP__CONTEXT_HPP_
