// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef NODE_PROCESS_HPP_
#define NODE_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>

namespace obsfeed_wire_tests
{

/// A program running as a process of its own, its standard output and standard error going
/// to one file: the node logs through its own logger on one and through rcutils on the other,
/// and the tests read both.
class NodeProcess
{
public:
  /// Starts `program` with this process's environment plus `env`; throws std::runtime_error
  /// if it cannot be started.
  NodeProcess(const std::string & program, const std::map<std::string, std::string> & env);
  /// Kills the process if it still runs.
  ~NodeProcess();

  NodeProcess(const NodeProcess &) = delete;
  NodeProcess & operator=(const NodeProcess &) = delete;

  /// Everything written so far.
  std::string output() const;
  /// Lines of output() containing `text`.
  size_t count_lines(const std::string & text) const;
  /// Waits until `count` lines contain `text`; false after 30 seconds.
  bool wait_for_lines(const std::string & text, size_t count) const;

  /// Sends `signal_number` and returns the wait status (a process still alive after 30 seconds
  /// is killed).
  int stop(int signal_number);

private:
  pid_t pid_ = -1;
  std::string output_path_;
};

}  // namespace obsfeed_wire_tests

#endif  // NODE_PROCESS_HPP_
