// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

// Helpers shared by the tests of the stand-in's own parts (arguments, parameters, DDS).

#ifndef RUNTIME_TEST_SUPPORT_HPP_
#define RUNTIME_TEST_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "rclcpp/context.hpp"
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

}  // namespace test_support

#endif  // RUNTIME_TEST_SUPPORT_HPP_
