// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#ifndef OBSFEED_DEMO__CHILD_PROGRAM_HPP_
#define OBSFEED_DEMO__CHILD_PROGRAM_HPP_

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace obsfeed_demo
{

/// A program that runs beside this one (obsfeed_node, Nav2's costmap) for as long as this
/// object lives. It inherits the environment; its output goes to @p log_path, or to this
/// process's output when that is empty.
class ChildProgram
{
public:
  ChildProgram(
    const std::string & path, const std::vector<std::string> & arguments,
    const std::string & log_path = "");
  ~ChildProgram();

  ChildProgram(const ChildProgram &) = delete;
  ChildProgram & operator=(const ChildProgram &) = delete;

  /// False once the program has ended on its own.
  bool running();

  /// Asks the program to end (SIGINT, as Ctrl-C would), kills it if it has not ended within
  /// @p grace, and returns its wait status.
  int stop(std::chrono::milliseconds grace = std::chrono::seconds(10));

private:
  std::string path_;
  pid_t pid_{-1};
  int status_{0};
};

}  // namespace obsfeed_demo

#endif  // OBSFEED_DEMO__CHILD_PROGRAM_HPP_
