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

#ifndef OBSFEED_CHILD_PROCESS__CHILD_PROCESS_HPP_
#define OBSFEED_CHILD_PROCESS__CHILD_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace obsfeed_child_process
{

/// Where a child's standard output and standard error go.
struct ChildOutput
{
  /// Standard output through a pipe that the ChildProcess reads; standard error inherited, so
  /// what the child complains about lands in the test log.
  static ChildOutput captured() {return {true, false, ""};}
  /// Both through that pipe, interleaved as the child writes them.
  static ChildOutput capturedWithErrors() {return {true, true, ""};}
  /// Both into the file at @p path, created or emptied.
  static ChildOutput file(const std::string & path) {return {false, true, path};}
  /// Both where this process's go.
  static ChildOutput inherited() {return {false, false, ""};}

  bool capture;
  bool with_stderr;
  std::string path;
};

/// A program started as a real process beside this one (obsfeed_node, a probe, Nav2's costmap),
/// stopped as Ctrl-C would stop it when this object goes.
///
/// It inherits this process's environment with two changes: every variable in @p env has the
/// value given there, whatever this process has (a test's choice of DDS domain must beat the
/// one of the shell that runs the tests), and no SPDLOG_* variable is inherited, so the
/// logger of an obsfeed program logs as its caller sets it up, not as the developer's shell
/// happens to.
class ChildProcess
{
public:
  ChildProcess(
    const std::string & program, const std::vector<std::string> & arguments,
    const std::map<std::string, std::string> & env = {},
    const ChildOutput & output = ChildOutput::captured());
  /// stop(), if the program still runs.
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
  /// False once the program has ended.
  bool running();

  /// The reader of the child's output goes away: its next write finds a closed pipe.
  void closeOutput();
  /// Shrinks the output pipe to @p bytes (at least a page), so a reader that stops reading
  /// leaves it full soon; false if the kernel refuses.
  bool setOutputCapacity(int bytes);

  /// Reads the output while the program runs, and returns its wait status once it has ended.
  /// A program that outlives the deadline is killed (and then shows as killed by SIGKILL).
  int waitForExit(std::chrono::milliseconds deadline = std::chrono::seconds(60));
  /// Asks the program to end with SIGINT, as Ctrl-C would; then waitForExit(@p grace).
  int stop(std::chrono::milliseconds grace = std::chrono::seconds(10));

  const std::string & output() const {return output_;}
  std::vector<std::string> outputLines() const;

private:
  // Reads what is available within @p timeout; false once the pipe is closed.
  bool readSome(std::chrono::milliseconds timeout);

  pid_t pid_{-1};
  int stdout_fd_{-1};
  bool exited_{false};
  int status_{0};
  std::string output_;
};

/// Runs a program to its end and returns what it wrote; the wait status goes to @p status.
std::string runToEnd(
  const std::string & program, const std::vector<std::string> & arguments,
  const std::map<std::string, std::string> & env, int * status,
  const ChildOutput & output = ChildOutput::captured());

}  // namespace obsfeed_child_process

#endif  // OBSFEED_CHILD_PROCESS__CHILD_PROCESS_HPP_
