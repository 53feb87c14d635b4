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

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/utilities.hpp"

namespace
{

void
init(const rclcpp::Context::SharedPtr & context, std::vector<const char *> argv = {"prog"})
{
  context->init(static_cast<int>(argv.size()), argv.data());
}

bool
is_registered(const rclcpp::Context::SharedPtr & context)
{
  const auto contexts = rclcpp::get_contexts();
  return std::find(contexts.begin(), contexts.end(), context) != contexts.end();
}

}  // namespace

TEST(Context, LifecycleAndSecondShutdown)
{
  auto context = std::make_shared<rclcpp::Context>();
  EXPECT_FALSE(context->is_valid());
  EXPECT_FALSE(context->shutdown("never initialized"));

  init(context);
  EXPECT_TRUE(context->is_valid());
  EXPECT_TRUE(is_registered(context));
  EXPECT_THROW(init(context), rclcpp::ContextAlreadyInitialized);

  EXPECT_TRUE(context->shutdown("first"));
  EXPECT_FALSE(context->is_valid());
  EXPECT_FALSE(is_registered(context));
  EXPECT_FALSE(context->shutdown("second"));
  EXPECT_EQ(context->shutdown_reason(), "first");

  // A shut down context can be initialized again.
  init(context);
  EXPECT_TRUE(context->is_valid());
  EXPECT_TRUE(context->shutdown("again"));
}

TEST(Context, OnShutdownCallbacks)
{
  auto context = std::make_shared<rclcpp::Context>();
  init(context);
  int runs = 0;
  bool valid_inside_callback = true;
  int removed_runs = 0;
  // (No registering from inside a callback: Humble holds the callbacks' lock while it runs
  // them, so that deadlocks there.)
  context->on_shutdown(
    [&]() {
      ++runs;
      valid_inside_callback = context->is_valid();
    });
  auto handle = context->add_on_shutdown_callback([&]() {++removed_runs;});
  EXPECT_TRUE(context->remove_on_shutdown_callback(handle));
  EXPECT_FALSE(context->remove_on_shutdown_callback(handle));

  context->shutdown("test");
  context->shutdown("test");
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(valid_inside_callback);
  EXPECT_EQ(removed_runs, 0);
}

TEST(Context, InitRejectsBadRosArgumentsAndStaysInvalid)
{
  auto context = std::make_shared<rclcpp::Context>();
  try {
    init(context, {"prog", "--ros-args", "--foo", "-p", "a:=1", "-x"});
    FAIL() << "no exception";
  } catch (const rclcpp::exceptions::UnknownROSArgsError & e) {
    EXPECT_STREQ(e.what(), "found unknown ROS arguments: '--foo', '-x'");
    EXPECT_EQ(e.unknown_ros_args, (std::vector<std::string>{"--foo", "-x"}));
  }
  EXPECT_FALSE(context->is_valid());

  try {
    init(context, {"prog", "--ros-args", "-r", "nonsense"});
    FAIL() << "no exception";
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError & e) {
    EXPECT_EQ(
      std::string(e.what()).rfind("failed to initialize rcl: Couldn't parse remap rule", 0),
      0u) << e.what();
    EXPECT_EQ(e.ret, RCL_RET_INVALID_ROS_ARGS);
  }
  EXPECT_FALSE(context->is_valid());

  // Arguments for the program itself are no reason to fail.
  init(context, {"prog", "--verbose", "--ros-args", "-p", "a:=1", "--", "-x"});
  EXPECT_TRUE(context->is_valid());
  context->shutdown("done");
}

TEST(Context, ShutdownWakesSleepFor)
{
  auto context = std::make_shared<rclcpp::Context>();
  init(context);
  EXPECT_TRUE(context->sleep_for(std::chrono::milliseconds(1)));
  std::thread stopper([&context]() {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      context->shutdown("stop sleeping");
    });
  // Would hang the test (until its timeout) if the shutdown did not wake it.
  EXPECT_FALSE(context->sleep_for(std::chrono::hours(1)));
  stopper.join();
  // (Not asserted: a sleep_for that starts after the shutdown returns false at once here, but
  // Humble first sleeps the whole time.)
}

TEST(GlobalContext, InitOkShutdown)
{
  std::vector<const char *> argv = {"prog", "file.txt", "--ros-args", "-p", "rate:=5"};
  rclcpp::init(
    static_cast<int>(argv.size()), argv.data(), rclcpp::InitOptions(),
    rclcpp::SignalHandlerOptions::None);
  EXPECT_TRUE(rclcpp::ok());
  EXPECT_EQ(
    rclcpp::remove_ros_arguments(static_cast<int>(argv.size()), argv.data()),
    (std::vector<std::string>{"prog", "file.txt"}));
  EXPECT_EQ(rclcpp::Node("prog_node").declare_parameter("rate", 1), 5);  // from -p rate:=5

  EXPECT_TRUE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::ok());
  EXPECT_FALSE(rclcpp::shutdown());
  EXPECT_EQ(
    rclcpp::contexts::get_global_default_context()->shutdown_reason(),
    "user called rclcpp::shutdown()");
}

TEST(Options, DefaultsAsInHumble)
{
  const rclcpp::NodeOptions defaults;
  EXPECT_EQ(defaults.context(), rclcpp::contexts::get_global_default_context());
  EXPECT_TRUE(defaults.use_global_arguments());
  EXPECT_TRUE(defaults.start_parameter_services());
  EXPECT_FALSE(defaults.use_intra_process_comms());
  EXPECT_FALSE(defaults.enable_topic_statistics());
  EXPECT_FALSE(defaults.allow_undeclared_parameters());
  EXPECT_FALSE(defaults.automatically_declare_parameters_from_overrides());
  EXPECT_TRUE(defaults.arguments().empty());
  EXPECT_TRUE(defaults.parameter_overrides().empty());

  // Until set, the id is rcl's "default" (SIZE_MAX); use_default_domain_id() reads the variable
  // now, and an unset one means the default again.
  rclcpp::InitOptions init_options;
  EXPECT_TRUE(init_options.shutdown_on_signal);
  setenv("ROS_DOMAIN_ID", "42", 1);
  EXPECT_EQ(init_options.get_domain_id(), SIZE_MAX);
  init_options.use_default_domain_id();
  EXPECT_EQ(init_options.get_domain_id(), 42u);
  init_options.set_domain_id(7);
  EXPECT_EQ(init_options.get_domain_id(), 7u);
  unsetenv("ROS_DOMAIN_ID");
  init_options.use_default_domain_id();
  EXPECT_EQ(init_options.get_domain_id(), SIZE_MAX);
}
