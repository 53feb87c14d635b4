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

// Helpers shared by the tests of rclcpp's public API.

#ifndef RUNTIME_TEST_SUPPORT_HPP_
#define RUNTIME_TEST_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

/// Standard error goes to a file while this lives (log lines included, as the console shows
/// them), readable at any time.
class StderrLog
{
public:
  StderrLog()
  : file_(std::tmpfile()), saved_(dup(STDERR_FILENO))
  {
    std::fflush(stderr);
    dup2(fileno(file_), STDERR_FILENO);
  }

  ~StderrLog()
  {
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    std::fclose(file_);
  }

  StderrLog(const StderrLog &) = delete;
  StderrLog & operator=(const StderrLog &) = delete;

  /// The lines written so far that contain `part`.
  std::vector<std::string> lines_with(const std::string & part) const
  {
    std::fflush(stderr);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = pread(fileno(file_), buffer, sizeof(buffer), text.size())) > 0; ) {
      text.append(buffer, static_cast<size_t>(got));
    }
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
      end = std::min(text.find('\n', start), text.size());
      if (text.find(part, start) < end) {
        lines.push_back(text.substr(start, end - start));
      }
    }
    return lines;
  }

private:
  std::FILE * file_;
  int saved_;
};

/// Spins (one piece of work at a time, waiting for it) until `done` holds; false if it still
/// does not after ten seconds.
inline bool spin_until(rclcpp::Executor & executor, const std::function<bool()> & done)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    executor.spin_once(std::chrono::milliseconds(100));
  }
  return true;
}

}  // namespace test_support

#endif  // RUNTIME_TEST_SUPPORT_HPP_
