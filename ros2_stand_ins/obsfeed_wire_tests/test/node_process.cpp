// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "node_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char ** environ;

namespace obsfeed_wire_tests
{

NodeProcess::NodeProcess(
  const std::string & program, const std::map<std::string, std::string> & env)
{
  char path_template[] = "/tmp/obsfeed_wire_node_XXXXXX";
  const int fd = mkstemp(path_template);
  if (fd < 0) {
    throw std::runtime_error(std::string("mkstemp: ") + std::strerror(errno));
  }
  close(fd);
  output_path_ = path_template;

  std::map<std::string, std::string> environment;
  for (char ** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const auto equals = text.find('=');
    environment[text.substr(0, equals)] = equals == std::string::npos ? "" : text.substr(equals + 1);
  }
  for (const auto & [name, value] : env) {
    environment[name] = value;
  }
  std::vector<std::string> entries;
  for (const auto & [name, value] : environment) {
    entries.push_back(name + "=" + value);
  }
  std::vector<char *> envp;
  for (auto & entry : entries) {
    envp.push_back(entry.data());
  }
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_path_.c_str(), O_WRONLY | O_APPEND, 0);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::string program_copy = program;
  char * argv[] = {program_copy.data(), nullptr};
  const int result = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) {
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(result));
  }
}

NodeProcess::~NodeProcess()
{
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::remove(output_path_.c_str());
}

std::string NodeProcess::output() const
{
  std::ifstream file(output_path_);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

size_t NodeProcess::count_lines(const std::string & text) const
{
  std::istringstream lines(output());
  size_t count = 0;
  for (std::string line; std::getline(lines, line); ) {
    count += line.find(text) != std::string::npos ? 1 : 0;
  }
  return count;
}

bool NodeProcess::wait_for_lines(const std::string & text, size_t count) const
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (count_lines(text) < count) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));  // a file has no event to wait on
  }
  return true;
}

int NodeProcess::stop(int signal_number)
{
  kill(pid_, signal_number);
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  return status;
}

}  // namespace obsfeed_wire_tests
