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

#ifndef RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
#define RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <variant>

namespace rclcpp
{

/// Holds a subscription callback of any supported signature and calls it with a shared message.
///
/// Supported parameters: `const MessageT &`, `std::shared_ptr<const MessageT>`,
/// `std::shared_ptr<MessageT>` and `std::unique_ptr<MessageT>`, from lambdas, functions and
/// `std::bind` results alike. A message published in this process may be shared by several
/// subscriptions, so signatures that may modify it get their own copy; one that nobody else
/// holds (every message from another process) is handed over as it is, as in Humble.
template<typename MessageT>
class AnySubscriptionCallback
{
public:
  using ConstRefCallback = std::function<void (const MessageT &)>;
  using ConstSharedPtrCallback = std::function<void (std::shared_ptr<const MessageT>)>;
  using SharedPtrCallback = std::function<void (std::shared_ptr<MessageT>)>;
  using UniquePtrCallback = std::function<void (std::unique_ptr<MessageT>)>;

  template<typename CallbackT>
  explicit AnySubscriptionCallback(CallbackT && callback)
  : callback_(make_variant(std::forward<CallbackT>(callback)))
  {}

  /// `message` is handed over: nothing else may take a reference to it meanwhile.
  void dispatch(std::shared_ptr<const MessageT> message) const
  {
    std::visit(
      [&message](const auto & callback) {
        using Callback = std::decay_t<decltype(callback)>;
        if constexpr (std::is_same_v<Callback, ConstRefCallback>) {
          callback(*message);
        } else if constexpr (std::is_same_v<Callback, ConstSharedPtrCallback>) {
          callback(std::move(message));
        } else if constexpr (std::is_same_v<Callback, SharedPtrCallback>) {
          callback(
            sole_owner(message) ? std::const_pointer_cast<MessageT>(std::move(message)) :
            std::make_shared<MessageT>(*message));
        } else if (sole_owner(message)) {
          // A unique_ptr cannot take over a shared_ptr's object: its contents move instead.
          callback(
            std::make_unique<MessageT>(
              std::move(
                *std::const_pointer_cast<MessageT>(
                  message))));
        } else {
          callback(std::make_unique<MessageT>(*message));
        }
      }, callback_);
  }

private:
  /// Whether only this reference holds the message; nobody can take another one meanwhile.
  static bool sole_owner(const std::shared_ptr<const MessageT> & message)
  {
    return message.use_count() == 1;
  }

  using Variant = std::variant<
    ConstRefCallback, ConstSharedPtrCallback, SharedPtrCallback, UniquePtrCallback>;

  // The order of the tests matters: a callback taking shared_ptr<const T> also accepts a
  // shared_ptr<T>, and every shared_ptr parameter also accepts a unique_ptr rvalue.
  template<typename CallbackT>
  static Variant make_variant(CallbackT && callback)
  {
    using Callback = std::decay_t<CallbackT>;
    if constexpr (std::is_invocable_v<Callback &, const MessageT &>) {
      return ConstRefCallback(std::forward<CallbackT>(callback));
    } else if constexpr (std::is_invocable_v<Callback &, std::shared_ptr<const MessageT>>) {
      return ConstSharedPtrCallback(std::forward<CallbackT>(callback));
    } else if constexpr (std::is_invocable_v<Callback &, std::shared_ptr<MessageT>>) {
      return SharedPtrCallback(std::forward<CallbackT>(callback));
    } else if constexpr (std::is_invocable_v<Callback &, std::unique_ptr<MessageT>>) {
      return UniquePtrCallback(std::forward<CallbackT>(callback));
    } else {
      static_assert(
        std::is_invocable_v<Callback &, std::unique_ptr<MessageT>>,
        "subscription callback must take const MessageT &, std::shared_ptr<const MessageT>, "
        "std::shared_ptr<MessageT> or std::unique_ptr<MessageT>");
    }
  }

  Variant callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
