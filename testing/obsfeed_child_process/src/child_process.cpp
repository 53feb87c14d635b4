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

#include "obsfeed_child_process/child_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>

extern char ** environ;

namespace obsfeed_child_process
{

namespace
{

// Pointers to @p strings for exec, ending with a null pointer.
std::vector<char *> pointersTo(std::vector<std::string> & strings)
{
  std::vector<char *> pointers;
  for (auto & text : strings) {
    pointers.push_back(text.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ChildProcess::ChildProcess(
  const std::string & program, const std::vector<std::string> & arguments,
  const std::map<std::string, std::string> & env, const ChildOutput & output)
{
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  // getenv finds the first entry of a name, so an inherited one must not stay beside ours.
  std::vector<std::string> envp;
  for (char ** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string name(text.substr(0, text.find('=')));
    if (name.rfind("SPDLOG_", 0) != 0 && env.count(name) == 0) {
      envp.emplace_back(text);
    }
  }
  for (const auto & [name, value] : env) {
    envp.push_back(name + "=" + value);
  }

  int pipe_fds[2] = {-1, -1};
  if (output.capture && pipe2(pipe_fds, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output.capture) {
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  } else if (!output.path.empty()) {
    posix_spawn_file_actions_addopen(
      &actions, STDOUT_FILENO, output.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  if (output.with_stderr && (output.capture || !output.path.empty())) {
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  }
  const int error = posix_spawn(
    &pid_, program.c_str(), &actions, nullptr, pointersTo(argv).data(), pointersTo(envp).data());
  posix_spawn_file_actions_destroy(&actions);
  if (output.capture) {
    close(pipe_fds[1]);
    stdout_fd_ = pipe_fds[0];
  }
  if (error != 0) {
    closeOutput();
    throw std::runtime_error(
            "cannot start " + program +
            (output.path.empty() ? "" : " with its output in " + output.path) + ": " +
            std::strerror(error));
  }
}

ChildProcess::~ChildProcess()
{
  if (running()) {
    stop();
  }
  closeOutput();
}

bool ChildProcess::readSome(std::chrono::milliseconds timeout)
{
  if (stdout_fd_ < 0) {
    return false;
  }
  pollfd descriptor{stdout_fd_, POLLIN, 0};
  const int ready = poll(&descriptor, 1, static_cast<int>(timeout.count()));
  if (ready <= 0) {
    return true;
  }
  char buffer[4096];
  const ssize_t count = read(stdout_fd_, buffer, sizeof(buffer));
  if (count > 0) {
    output_.append(buffer, static_cast<std::size_t>(count));
    return true;
  }
  if (count < 0 && errno == EINTR) {
    return true;
  }
  closeOutput();
  return false;
}

bool ChildProcess::waitForOutput(
  const std::string & text, std::size_t times, std::chrono::seconds deadline)
{
  const auto found = [&]() {
      std::size_t count = 0;
      for (auto at = output_.find(text); at != std::string::npos; at = output_.find(text, at + 1)) {
        ++count;
      }
      return count >= times;
    };
  const auto until = std::chrono::steady_clock::now() + deadline;
  while (!found() && std::chrono::steady_clock::now() < until &&
    readSome(std::chrono::milliseconds(100)))
  {
  }
  return found();
}

void ChildProcess::readAvailable()
{
  pollfd descriptor{stdout_fd_, POLLIN, 0};
  while (poll(&descriptor, 1, 0) > 0 && readSome(std::chrono::milliseconds(0))) {
  }
}

void ChildProcess::sendSignal(int signal_number)
{
  kill(pid_, signal_number);
}

void ChildProcess::closeOutput()
{
  if (stdout_fd_ >= 0) {
    close(stdout_fd_);
    stdout_fd_ = -1;
  }
}

bool ChildProcess::setOutputCapacity(int bytes)
{
  return stdout_fd_ >= 0 && fcntl(stdout_fd_, F_SETPIPE_SZ, bytes) >= 0;
}

bool ChildProcess::running()
{
  if (!exited_) {
    const pid_t reaped = waitpid(pid_, &status_, WNOHANG);
    // ECHILD: nothing left to wait for, so it has ended too.
    exited_ = reaped == pid_ || (reaped < 0 && errno != EINTR);
  }
  return !exited_;
}

int ChildProcess::waitForExit(std::chrono::milliseconds deadline)
{
  const auto until = std::chrono::steady_clock::now() + deadline;
  bool killed = false;
  while (running()) {
    // Reading keeps a chatty child from blocking on a full pipe while it shuts down.
    if (!readSome(std::chrono::milliseconds(20))) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!killed && std::chrono::steady_clock::now() > until) {
      kill(pid_, SIGKILL);
      killed = true;
    }
  }
  // What it wrote last; a grandchild that still holds the pipe open is not waited for.
  readAvailable();
  return status_;
}

int ChildProcess::stop(std::chrono::milliseconds grace)
{
  if (running()) {
    kill(pid_, SIGINT);
  }
  return waitForExit(grace);
}

std::vector<std::string> ChildProcess::outputLines() const
{
  std::vector<std::string> lines;
  std::istringstream stream(output_);
  for (std::string line; std::getline(stream, line); ) {
    lines.push_back(line);
  }
  return lines;
}

std::string runToEnd(
  const std::string & program, const std::vector<std::string> & arguments,
  const std::map<std::string, std::string> & env, int * status, const ChildOutput & output)
{
  ChildProcess child(program, arguments, env, output);
  *status = child.waitForExit();
  return child.output();
}

}  // namespace obsfeed_child_process
