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

// What a context that is not, or no longer, initialized does to what is made on it. A signal
// that arrives while a node is being built shuts the context down under the constructor, so
// programs meet exactly these exceptions. Plain rclcpp API only: the Humble lane builds this
// file against the real rclcpp too, which holds both to the same texts.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/header.hpp"

namespace
{

/// what() of the @p Exception that @p action throws, without rcl's ", at file:line" suffix
/// (the place rcl set the error is all that may differ).
template<typename Exception>
std::string message_of(const std::function<void()> & action)
{
  try {
    action();
  } catch (const Exception & error) {
    const std::string what = error.what();
    return what.substr(0, what.rfind(", at "));
  } catch (const std::exception & error) {
    return std::string("another exception: ") + error.what();
  }
  return "nothing thrown";
}

rclcpp::Context::SharedPtr shut_down_context()
{
  auto context = std::make_shared<rclcpp::Context>();
  context->init(0, nullptr);
  context->shutdown("signal handler");
  return context;
}

const char kNotValid[] =
  "failed to create guard condition: the given context is not valid, either rcl_init() was not "
  "called or rcl_shutdown() was called.";

TEST(ShutDownContext, NeitherANodeNorAnExecutorCanBeMadeOnIt)
{
  auto never_initialized = std::make_shared<rclcpp::Context>();
  EXPECT_EQ(
    message_of<rclcpp::exceptions::RCLInvalidArgument>(
      [&]() {rclcpp::Node("early", rclcpp::NodeOptions().context(never_initialized));}),
    "failed to create guard condition: context argument is null");

  auto context = shut_down_context();
  EXPECT_EQ(
    message_of<rclcpp::exceptions::RCLError>(
      [&]() {rclcpp::Node("late", rclcpp::NodeOptions().context(context));}),
    kNotValid);
  rclcpp::ExecutorOptions options;
  options.context = context;
  EXPECT_EQ(
    message_of<rclcpp::exceptions::RCLError>(
      [&]() {rclcpp::executors::MultiThreadedExecutor executor(options, 2);}),
    kNotValid);
}

TEST(ShutDownContext, ANodeBuiltBeforeCanMakeNoPublisherSubscriptionOrTimerAfter)
{
  auto context = std::make_shared<rclcpp::Context>();
  context->init(0, nullptr);
  auto node = std::make_shared<rclcpp::Node>("building", rclcpp::NodeOptions().context(context));
  context->shutdown("signal handler");

  EXPECT_EQ(
    message_of<rclcpp::exceptions::RCLError>(
      [&]() {node->create_publisher<std_msgs::msg::Header>("out", 1);}),
    "could not create publisher: rcl node's context is invalid");
  EXPECT_EQ(
    message_of<rclcpp::exceptions::RCLError>(
      [&]() {
        node->create_subscription<std_msgs::msg::Header>(
          "in", 1, [](std_msgs::msg::Header::ConstSharedPtr) {});
      }),
    "could not create subscription: rcl node's context is invalid");
  EXPECT_EQ(
    message_of<rclcpp::exceptions::RCLError>(
      [&]() {node->create_wall_timer(std::chrono::seconds(1), []() {});}),
    "Couldn't initialize rcl timer handle: the given context is not valid, either rcl_init() was "
    "not called or rcl_shutdown() was called.");
  // Neither takes an rcl entity, so a constructor gets past them and fails at its next
  // publisher or subscription.
  EXPECT_NO_THROW(node->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive));
  EXPECT_EQ(node->declare_parameter("declared_late", 7), 7);
}

}  // namespace
