// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

// A signal must end spin() cleanly so that main() can shut down and return 0. Each case runs in
// a forked child, since the handlers and the global context belong to the whole process.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <memory>
#include <string>

#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/header.hpp"

namespace
{

enum class Spinner {SingleThreaded, MultiThreaded, FreeFunction};

/// The child's whole life: init, a node whose first callback raises the signal, spin, shutdown.
/// Exit status 0 only if spin() returned because of the signal.
[[noreturn]] void run_child(int signal_number, Spinner spinner)
{
  alarm(30);  // a spin that never ends kills the child instead of hanging the test
  const char * argv[] = {"child"};
  rclcpp::init(1, argv);
  auto node = std::make_shared<rclcpp::Node>("signalled");
  auto subscription = node->create_subscription<std_msgs::msg::Header>(
    "go", 10, [signal_number](const std_msgs::msg::Header &) {std::raise(signal_number);});
  auto publisher = node->create_publisher<std_msgs::msg::Header>("go", 10);
  publisher->publish(std_msgs::msg::Header());

  switch (spinner) {
    case Spinner::SingleThreaded: {
        rclcpp::executors::SingleThreadedExecutor executor;
        executor.add_node(node);
        executor.spin();
        break;
      }
    case Spinner::MultiThreaded: {
        rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 8, true);
        executor.add_node(node);
        executor.spin();
        break;
      }
    case Spinner::FreeFunction:
      rclcpp::spin(node);
      break;
  }
  const bool stopped_by_signal = !rclcpp::ok();
  rclcpp::shutdown();
  std::_Exit(stopped_by_signal ? 0 : 3);
}

/// The child's exit status, or a description of how it died.
std::string run_in_child(int signal_number, Spinner spinner)
{
  const pid_t pid = fork();
  if (pid == 0) {
    run_child(signal_number, spinner);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) {
    return "fork/wait failed";
  }
  if (WIFEXITED(status)) {
    return "exit " + std::to_string(WEXITSTATUS(status));
  }
  if (WIFSIGNALED(status)) {
    return "killed by signal " + std::to_string(WTERMSIG(status));
  }
  return "unknown status";
}

}  // namespace

TEST(ExecutorSignals, SigintEndsSpinOfEveryExecutor)
{
  EXPECT_EQ(run_in_child(SIGINT, Spinner::SingleThreaded), "exit 0");
  EXPECT_EQ(run_in_child(SIGINT, Spinner::MultiThreaded), "exit 0");
  EXPECT_EQ(run_in_child(SIGINT, Spinner::FreeFunction), "exit 0");
}

TEST(ExecutorSignals, SigtermEndsSpinOfEveryExecutor)
{
  EXPECT_EQ(run_in_child(SIGTERM, Spinner::SingleThreaded), "exit 0");
  EXPECT_EQ(run_in_child(SIGTERM, Spinner::MultiThreaded), "exit 0");
  EXPECT_EQ(run_in_child(SIGTERM, Spinner::FreeFunction), "exit 0");
}
