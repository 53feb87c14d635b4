// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include "obsfeed_demo/child_program.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <thread>

extern char ** environ;

namespace obsfeed_demo
{

ChildProgram::ChildProgram(
  const std::string & path, const std::vector<std::string> & arguments,
  const std::string & log_path)
: path_(path)
{
  std::vector<char *> argv{const_cast<char *>(path.c_str())};
  for (const std::string & argument : arguments) {
    argv.push_back(const_cast<char *>(argument.c_str()));
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!log_path.empty()) {
    posix_spawn_file_actions_addopen(
      &actions, STDOUT_FILENO, log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  }
  const int error = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    throw std::runtime_error(
            "cannot start " + path + (log_path.empty() ? "" : " with its output in " + log_path) +
            ": " + std::strerror(error));
  }
}

ChildProgram::~ChildProgram()
{
  stop();
}

bool ChildProgram::running()
{
  if (pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) {
    pid_ = -1;
  }
  return pid_ > 0;
}

int ChildProgram::stop(std::chrono::milliseconds grace)
{
  if (!running()) {
    return status_;
  }
  kill(pid_, SIGINT);
  const auto deadline = std::chrono::steady_clock::now() + grace;
  while (running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
    pid_ = -1;
  }
  return status_;
}

}  // namespace obsfeed_demo
