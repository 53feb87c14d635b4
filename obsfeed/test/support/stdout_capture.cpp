// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#include "stdout_capture.hpp"

#include "eventually.hpp"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace obsfeed_test
{

StdoutCapture::StdoutCapture()
{
  std::fflush(stdout);
  char path[] = "/tmp/obsfeed_stdout_XXXXXX";
  const int capture_fd = mkstemp(path);
  if (capture_fd < 0) {
    throw std::runtime_error("cannot create a file to capture standard output");
  }
  path_ = path;
  saved_stdout_ = dup(STDOUT_FILENO);
  dup2(capture_fd, STDOUT_FILENO);
  close(capture_fd);
}

StdoutCapture::~StdoutCapture()
{
  const std::vector<std::string> captured = lines();
  std::fflush(stdout);
  dup2(saved_stdout_, STDOUT_FILENO);
  close(saved_stdout_);
  std::remove(path_.c_str());
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
  std::ifstream file(path_);
  std::vector<std::string> result;
  // Only complete lines: the last one may still be on its way.
  for (std::string line; std::getline(file, line) && !file.eof(); ) {
    result.push_back(line);
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

bool StdoutCapture::waitForLines(
  const std::string & text, std::size_t count, std::chrono::seconds deadline) const
{
  return eventually([&]() {return linesContaining(text).size() >= count;}, deadline);
}

}  // namespace obsfeed_test
