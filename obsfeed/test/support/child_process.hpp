// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__CHILD_PROCESS_HPP_
#define SUPPORT__CHILD_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace obsfeed_test
{

/// A program started as a real process with its standard output captured through a pipe.
/// It inherits this process's environment without any SPDLOG_* variable, plus @p env.
/// Standard error is inherited, so what the child complains about lands in the test log, unless
/// @p with_stderr captures it together with standard output.
class ChildProcess
{
public:
  ChildProcess(
    const std::string & program, const std::vector<std::string> & arguments,
    const std::map<std::string, std::string> & env = {}, bool with_stderr = false);
  ~ChildProcess();

  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  /// Reads output until it contains @p text @p times; false if the deadline passes or output
  /// ends first.
  bool waitForOutput(
    const std::string & text, std::size_t times = 1,
    std::chrono::seconds deadline = std::chrono::seconds(60));

  /// Reads what the child has written by now, without waiting for more.
  void readAvailable();

  void sendSignal(int signal_number);
  pid_t pid() const {return pid_;}

  /// The reader of the child's output goes away: its next write finds a closed pipe.
  void closeOutput();
  /// Shrinks the output pipe to @p bytes (at least a page), so a reader that stops reading
  /// leaves it full soon; false if the kernel refuses.
  bool setOutputCapacity(int bytes);

  /// Reads the rest of the output and reaps the process. Returns its wait status; a process that
  /// outlives the deadline is killed (and then shows as killed by SIGKILL).
  int waitForExit(std::chrono::seconds deadline = std::chrono::seconds(60));

  const std::string & output() const {return output_;}
  std::vector<std::string> outputLines() const;

private:
  // Reads what is available within @p timeout; false once the pipe is closed.
  bool readSome(std::chrono::milliseconds timeout);

  pid_t pid_{-1};
  int stdout_fd_{-1};
  bool exited_{false};
  std::string output_;
};

/// Runs a program to its end and returns its output; the wait status goes to @p status.
std::string runToEnd(
  const std::string & program, const std::vector<std::string> & arguments,
  const std::map<std::string, std::string> & env, int * status, bool with_stderr = false);

}  // namespace obsfeed_test

#endif  // SUPPORT__CHILD_PROCESS_HPP_
