// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

// Helpers shared by the tests of rclcpp's public API.

#ifndef RUNTIME_TEST_SUPPORT_HPP_
#define RUNTIME_TEST_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "rclcpp/context.hpp"
#include "rclcpp/executors/single_threaded_executor.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/node_options.hpp"
#include "std_msgs/msg/header.hpp"

namespace test_support
{

/// A context of its own, so that tests do not share the process's global state.
inline rclcpp::Context::SharedPtr make_context()
{
  auto context = std::make_shared<rclcpp::Context>();
  const char * argv[] = {"test"};
  context->init(1, argv);
  return context;
}

inline rclcpp::NodeOptions options_for(const rclcpp::Context::SharedPtr & context)
{
  return rclcpp::NodeOptions().context(context);
}

/// what() of the Exception that `action` throws; says so if it throws another one or nothing.
template<typename Exception>
std::string what_of(const std::function<void()> & action)
{
  try {
    action();
  } catch (const Exception & error) {
    return error.what();
  } catch (const std::exception & error) {
    return std::string("another exception: ") + error.what();
  }
  return "nothing thrown";
}

/// The test message: a Header whose frame id tells the messages apart.
inline std_msgs::msg::Header header_with_frame(const std::string & frame_id)
{
  std_msgs::msg::Header header;
  header.frame_id = frame_id;
  return header;
}

/// Each test gets a context of its own and shuts it down when it ends.
class ContextTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    context_ = make_context();
  }

  void TearDown() override
  {
    context_->shutdown("test done");
  }

  rclcpp::Context::SharedPtr context_;
};

/// Each test gets one node, added to a single-threaded executor that the test spins itself.
class NodeWithExecutorTest : public ContextTest
{
protected:
  void SetUp() override
  {
    ContextTest::SetUp();
    node_ = std::make_shared<rclcpp::Node>("test_node", options_for(context_));
    rclcpp::ExecutorOptions options;
    options.context = context_;
    executor_ = std::make_unique<rclcpp::executors::SingleThreadedExecutor>(options);
    executor_->add_node(node_);
  }

  void TearDown() override
  {
    executor_.reset();
    node_.reset();
    ContextTest::TearDown();
  }

  rclcpp::Node::SharedPtr node_;
  std::unique_ptr<rclcpp::executors::SingleThreadedExecutor> executor_;
};

}  // namespace test_support

#endif  // RUNTIME_TEST_SUPPORT_HPP_
