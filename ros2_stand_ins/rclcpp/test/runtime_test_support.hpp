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

// Helpers shared by the tests of the stand-in's own parts (arguments, parameters, DDS).

#ifndef RUNTIME_TEST_SUPPORT_HPP_
#define RUNTIME_TEST_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/executor.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/node_options.hpp"

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

/// Parameter files written into a fresh directory that is removed again afterwards.
class ParamTestFiles
{
public:
  ParamTestFiles()
  {
    char pattern[] = "/tmp/rclcpp_params_XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    directory_ = pattern;
  }

  ~ParamTestFiles() {std::filesystem::remove_all(directory_);}

  ParamTestFiles(const ParamTestFiles &) = delete;
  ParamTestFiles & operator=(const ParamTestFiles &) = delete;

  /// Writes content to a new file and returns its path.
  std::string write(const std::string & name, const std::string & content)
  {
    std::ofstream(path(name)) << content;
    return path(name);
  }

  std::string path(const std::string & name) const {return (directory_ / name).string();}

private:
  std::filesystem::path directory_;
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
