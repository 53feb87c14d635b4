// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include "stdout_capture.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace obsfeed_test
{

StdoutCapture::StdoutCapture()
{
  std::fflush(stdout);
  char path[] = "/tmp/obsfeed_stdout_XXXXXX";
  capture_fd_ = mkstemp(path);
  if (capture_fd_ < 0) {
    throw std::runtime_error("cannot create a file to capture standard output");
  }
  unlink(path);
  saved_stdout_ = dup(STDOUT_FILENO);
  dup2(capture_fd_, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
  const std::vector<std::string> captured = lines();
  std::fflush(stdout);
  dup2(saved_stdout_, STDOUT_FILENO);
  close(saved_stdout_);
  close(capture_fd_);
  // Hand everything on to the real output: test failures printed while capturing (and the
  // node's log) belong in the test log.
  for (const auto & line : captured) {
    std::printf("%s\n", line.c_str());
  }
  std::fflush(stdout);
}

std::vector<std::string> StdoutCapture::lines() const
{
  std::fflush(stdout);
  std::string content;
  char buffer[4096];
  off_t offset = 0;
  for (;;) {
    const ssize_t count = pread(capture_fd_, buffer, sizeof(buffer), offset);
    if (count <= 0) {
      break;
    }
    content.append(buffer, static_cast<std::size_t>(count));
    offset += count;
  }
  std::vector<std::string> result;
  std::size_t start = 0;
  for (std::size_t end = content.find('\n'); end != std::string::npos;
    end = content.find('\n', start))
  {
    result.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return result;
}

std::vector<std::string> StdoutCapture::linesContaining(const std::string & text) const
{
  std::vector<std::string> matching;
  for (const auto & line : lines()) {
    if (line.find(text) != std::string::npos) {
      matching.push_back(line);
    }
  }
  return matching;
}

bool StdoutCapture::waitFor(
  const std::function<bool(const std::vector<std::string> &)> & done,
  std::chrono::seconds deadline) const
{
  const auto until = std::chrono::steady_clock::now() + deadline;
  while (!done(lines())) {
    if (std::chrono::steady_clock::now() > until) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace obsfeed_test
