// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#ifndef SUPPORT__STDOUT_CAPTURE_HPP_
#define SUPPORT__STDOUT_CAPTURE_HPP_

#include <chrono>
#include <string>
#include <vector>

namespace obsfeed_test
{

/// Sends this process's standard output into a temporary file while it lives, so a test can
/// read the log lines the node writes. Restores standard output when destroyed.
class StdoutCapture
{
public:
  StdoutCapture();
  ~StdoutCapture();

  StdoutCapture(const StdoutCapture &) = delete;
  StdoutCapture & operator=(const StdoutCapture &) = delete;

  /// Every complete line written so far.
  std::vector<std::string> lines() const;
  /// Complete lines that contain @p text.
  std::vector<std::string> linesContaining(const std::string & text) const;

  /// Waits until @p count lines contain @p text; false once the deadline has passed.
  bool waitForLines(
    const std::string & text, std::size_t count,
    std::chrono::seconds deadline = std::chrono::seconds(30)) const;

private:
  std::string path_;
  int saved_stdout_{-1};
};

}  // namespace obsfeed_test

#endif  // SUPPORT__STDOUT_CAPTURE_HPP_
