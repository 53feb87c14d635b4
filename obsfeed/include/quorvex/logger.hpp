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

#ifndef QUORVEX__LOGGER_HPP_
#define QUORVEX__LOGGER_HPP_

// The process logger: one spdlog logger per process, configured from the environment.
//
//   SPDLOG_STDOUT   "true" | "false"  (default true)   write statements to standard output
//   SPDLOG_SYSTEMD  "true" | "false"  (default false)  write statements to the systemd journal
//   SPDLOG_LEVEL    "trace" | "debug" | "info" | "warning" | "error" | "critical" (default info)
//
// Each default the logger has to take is reported on standard output when it is created.
// Statements are written with LOG_INFO, LOG_WARN and LOG_ERROR (fmt format strings); each line
// starts with a rolling number (modulo 128) of the statements that passed the level, so lines
// lost between a robot and its log collector show up as gaps.
//
// The logger writes through a description of standard output of its own and changes nothing
// else of the process it is loaded into (a component container holds other components that
// write to descriptor 1 too). When standard output is a pipe nobody drains, a line that does
// not fit is dropped instead of blocking the callback that logs it (the numbers show the gap).
// Whether a write to a pipe whose reader has gone raises SIGPIPE is the program's choice;
// obsfeed_node ignores it.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fmt/format.h>
#include <spdlog/logger.h>
#include <spdlog/sinks/ansicolor_sink.h>
#include <spdlog/sinks/systemd_sink.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The program and every library it loads must share one logger. The instance is a local
// static of an inline function; with default visibility the dynamic loader binds all copies
// to the first definition (the program's), even when a library is built with hidden symbols.
#define QUORVEX_LOGGER_VISIBLE __attribute__((visibility("default")))

namespace quorvex
{

class QUORVEX_LOGGER_VISIBLE Logger
{
public:
  /// The process's logger. The first call creates it under @p name; later calls return the
  /// same object and ignore @p name.
  static Logger & Instance(const std::string & name)
  {
    static Logger instance(name);
    return instance;
  }

  Logger(const Logger &) = delete;
  Logger & operator=(const Logger &) = delete;

  /// One statement at @p level; use the LOG_* forms, which fill in the call site.
  template<typename ... Args>
  void Log(
    spdlog::source_loc call_site, spdlog::level::level_enum level, const char * tag,
    fmt::format_string<Args...> format, Args && ... args)
  {
    // A copy keeps the spdlog logger alive even if process exit tears the instance down
    // while a late statement is still running.
    const std::shared_ptr<spdlog::logger> logger = logger_;
    const std::string message = fmt::format(format, std::forward<Args>(args)...);

    std::uint8_t sequence = 0;
    if (level_ <= static_cast<int>(level)) {
      sequence = static_cast<std::uint8_t>(sequence_.fetch_add(1) + 1);
    } else {
      sequence = sequence_.load();
    }
    const unsigned shown = sequence % 128u;
    const std::string text = fmt::format("{0:3d} [{1}] {2}", shown, tag, message);

    // The logger stays empty only when spdlog refused to build it; statements then vanish
    // quietly rather than take the caller down.
    if (logger) {
      logger->log(call_site, level, spdlog::string_view_t(text));
    }
  }

  /// The spdlog logger built from the environment; empty if spdlog refused to build it.
  std::shared_ptr<spdlog::logger> spdlogLogger() const {return logger_;}

  /// The configured level as spdlog's number (0 trace ... 5 critical).
  int level() const {return level_;}

private:
  explicit Logger(const std::string & name)
  : output_(OwnStandardOutput())
  {
    try {
      std::vector<spdlog::sink_ptr> sinks;
      if (ReadSwitch("SPDLOG_STDOUT", true)) {
        sinks.push_back(
          std::make_shared<spdlog::sinks::ansicolor_sink<spdlog::details::console_mutex>>(
            output_, spdlog::color_mode::automatic));
      }
      if (ReadSwitch("SPDLOG_SYSTEMD", false)) {
        sinks.push_back(std::make_shared<spdlog::sinks::systemd_sink<std::mutex>>());
      }
      logger_ = std::make_shared<spdlog::logger>(name, sinks.begin(), sinks.end());
      level_ = ReadLevel();
      logger_->set_level(static_cast<spdlog::level::level_enum>(level_));
      logger_->set_pattern("%v");
    } catch (const spdlog::spdlog_ex &) {
      // A half-built logger is still better than no program: keep what was set up.
    }
  }

  // The report lines are flushed at once so they survive a start-up that aborts right after.
  void Report(const std::string & line)
  {
    std::fputs((line + "\n").c_str(), output_);
    std::fflush(output_);
  }

  // A pipe gets a new open file description, non-blocking, so that a reader who stops draining
  // it never blocks a callback; setting O_NONBLOCK on the inherited description instead would
  // reach every other writer sharing it (the rest of the process, the shell, a supervisor) and
  // make their writes fail. Anything else (a terminal, a file, the journal's socket) is shared
  // through a descriptor of our own, so that writes to a file keep one offset.
  static std::FILE * OwnStandardOutput()
  {
    int own = -1;
    struct stat output {};
    if (fstat(STDOUT_FILENO, &output) == 0 && S_ISFIFO(output.st_mode)) {
      // Fails without /proc, and with ENXIO once nobody reads: writes then fail at once anyway.
      own = open("/proc/self/fd/1", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      // Room for a reader that lags rather than one that left (the kernel may refuse; fine).
      if (own >= 0) {
        fcntl(own, F_SETPIPE_SZ, 1 << 20);
      }
    }
    if (own < 0) {
      own = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    }
    std::FILE * file = own < 0 ? nullptr : fdopen(own, "w");
    if (file == nullptr) {
      if (own >= 0) {
        close(own);
      }
      return stdout;  // standard output is closed or unusable: nothing left to protect
    }
    return file;
  }

  bool ReadSwitch(const char * variable, bool fallback)
  {
    const char * value = std::getenv(variable);
    const char * fallback_text = fallback ? "true" : "false";
    if (value == nullptr) {
      Report(
        fmt::format(
          "environment variable {} is not set, and set {}", variable, fallback_text));
      return fallback;
    }
    const std::string text(value);
    if (text == "true") {
      return true;
    }
    if (text == "false") {
      return false;
    }
    Report(fmt::format("environment variable {} is invalid, and set {}", variable, fallback_text));
    return fallback;
  }

  int ReadLevel()
  {
    // Exact spellings only; "warn" and "off" are not accepted here on purpose.
    static const char * const kNames[] = {"trace", "debug", "info", "warning", "error", "critical"};
    const char * value = std::getenv("SPDLOG_LEVEL");
    if (value == nullptr) {
      Report("environment variable SPDLOG_LEVEL is not set, and set default level");
      return spdlog::level::info;
    }
    const std::string text(value);
    for (int level = 0; level < 6; ++level) {
      if (text == kNames[level]) {
        return level;
      }
    }
    Report("environment variable SPDLOG_LEVEL is invalid, and set default level");
    return spdlog::level::info;
  }

  // Never closed: a late statement at process exit may still write through it.
  std::FILE * output_;
  std::shared_ptr<spdlog::logger> logger_;
  std::atomic<std::uint8_t> sequence_{0};
  int level_{spdlog::level::info};
};

}  // namespace quorvex

#define QUORVEX_LOG_STATEMENT_(level, tag, ...) \
  ::quorvex::Logger::Instance("spdlog").Log( \
    ::spdlog::source_loc{__FILE__, __LINE__, SPDLOG_FUNCTION}, level, tag, __VA_ARGS__)

// <syslog.h> (pulled in by the journal sink) names a priority LOG_INFO; the journal sink has
// already used it above, and statements need the name from here on.
#ifdef LOG_INFO
#undef LOG_INFO
#endif
#define LOG_INFO(...) QUORVEX_LOG_STATEMENT_(::spdlog::level::info, "INFO", __VA_ARGS__)
#define LOG_WARN(...) QUORVEX_LOG_STATEMENT_(::spdlog::level::warn, "WARN", __VA_ARGS__)
#define LOG_ERROR(...) QUORVEX_LOG_STATEMENT_(::spdlog::level::err, "ERROR", __VA_ARGS__)

#endif  // QUORVEX__LOGGER_HPP_
