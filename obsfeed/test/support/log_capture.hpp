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

#ifndef SUPPORT__LOG_CAPTURE_HPP_
#define SUPPORT__LOG_CAPTURE_HPP_

#include <spdlog/sinks/base_sink.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "quorvex/logger.hpp"
#include "support/eventually.hpp"

namespace obsfeed_test
{

/// The log lines of the node under test, read from the process logger itself: it writes through
/// a description of standard output of its own, which a test cannot redirect. The test
/// program's main attaches the capture before anything logs; each LogCapture reads the lines
/// logged since it was made.
class LogCapture
{
public:
  static void attach()
  {
    const auto logger = quorvex::Logger::Instance("obsfeed_test").spdlogLogger();
    if (logger) {
      logger->sinks().push_back(sink());
    }
  }

  LogCapture()
  : first_(sink()->linesFrom(0).size()) {}

  std::vector<std::string> linesContaining(const std::string & text) const
  {
    std::vector<std::string> matching;
    for (const auto & line : sink()->linesFrom(first_)) {
      if (line.find(text) != std::string::npos) {
        matching.push_back(line);
      }
    }
    return matching;
  }

  /// Waits until @p count lines contain @p text; false once the deadline has passed.
  bool waitForLines(
    const std::string & text, std::size_t count,
    std::chrono::seconds deadline = std::chrono::seconds(30)) const
  {
    return eventually([&]() {return linesContaining(text).size() >= count;}, deadline);
  }

private:
  class Sink : public spdlog::sinks::base_sink<std::mutex>
  {
public:
    std::vector<std::string> linesFrom(std::size_t first)
    {
      std::lock_guard<std::mutex> lock(mutex_);
      return {lines_.begin() + std::min(first, lines_.size()), lines_.end()};
    }

protected:
    // The statement's whole text, as standard output gets it without the line end.
    void sink_it_(const spdlog::details::log_msg & message) override
    {
      lines_.emplace_back(message.payload.data(), message.payload.size());
    }
    void flush_() override {}

private:
    std::vector<std::string> lines_;
  };

  static std::shared_ptr<Sink> sink()
  {
    static const auto instance = std::make_shared<Sink>();
    return instance;
  }

  std::size_t first_;
};

}  // namespace obsfeed_test

#endif  // SUPPORT__LOG_CAPTURE_HPP_
