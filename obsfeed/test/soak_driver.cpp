// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

// obsfeed_soak: runs obsfeed_node as the robot would for a given time (ten sensors read at
// 1 kHz, the bumper pressed at 100 Hz) and checks what a robot needs from it after months:
//   - every reading the node took came back as one scan on each of its sensors' topics, and
//     every press it took (two log lines) as one arc;
//   - its resident memory stayed flat once warmed up;
//   - it wrote no line besides its start-up lines and its bumper lines;
//   - SIGTERM ended it with status 0.
// The node keeps only the newest reading (keep last 1), so a reading that arrives before it
// took the previous one replaces it: such readings are counted as skipped, not lost.
//
//   obsfeed_soak --node PATH [--seconds 60] [--warm-up SECONDS] [--rate HZ] [--bumper-rate HZ]
//
// Prints one summary line and exits 0 when every check held, 1 otherwise.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"
#include "support/child_process.hpp"

namespace
{

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t kSensors = 10;
// A reading carries its number: every sensor reads 1 + (number mod kCycle) mm. With a safe
// angle of 0 and a 65 m range the scan shows it unchanged, so each scan names its reading.
constexpr std::uint32_t kCycle = 60000;

struct Options
{
  std::string node;
  double seconds = 60.0;
  double warm_up = -1.0;
  double rate = 1000.0;
  double bumper_rate = 100.0;
};

Options parseOptions(int argc, char ** argv)
{
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const std::string value = argv[i + 1];
    if (name == "--node") {
      options.node = value;
    } else if (name == "--seconds") {
      options.seconds = std::stod(value);
    } else if (name == "--warm-up") {
      options.warm_up = std::stod(value);
    } else if (name == "--rate") {
      options.rate = std::stod(value);
    } else if (name == "--bumper-rate") {
      options.bumper_rate = std::stod(value);
    } else {
      throw std::invalid_argument("unknown option " + name);
    }
  }
  if (options.node.empty() || options.seconds <= 0.0 || options.rate <= 0.0 ||
    options.bumper_rate <= 0.0)
  {
    throw std::invalid_argument("need --node PATH and positive times and rates");
  }
  if (options.warm_up < 0.0) {
    options.warm_up = std::min(20.0, options.seconds / 3.0);
  }
  return options;
}

/// obsfeed_node with standard output and standard error in one pipe, read once a second and
/// sorted line by line into the lines the node may write and the ones it must not.
class NodeUnderSoak
{
public:
  explicit NodeUnderSoak(const std::string & path)
  : process_(path, {"--ros-args",
        "-p", "ultrasonic.device_pose:=[hor, hor, hor, hor, hor, hor, hor, hor, hor, hor]",
        "-p", "ultrasonic.hor_range_max:=65.0", "-p", "ultrasonic.hor_safe_angle:=0.0"},
      {}, true)
  {
  }

  /// Resident memory in KiB, 0 once the process is gone.
  long residentKib() const
  {
    std::ifstream status("/proc/" + std::to_string(process_.pid()) + "/status");
    for (std::string line; std::getline(status, line); ) {
      if (line.rfind("VmRSS:", 0) == 0) {
        return std::stol(line.substr(6));
      }
    }
    return 0;
  }

  /// Sorts the lines written since the last call.
  void readLines()
  {
    process_.readAvailable();
    classifyUpTo(process_.output().size());
  }

  /// Sends SIGTERM and returns the wait status (SIGKILL after 30 s).
  int terminate()
  {
    process_.sendSignal(SIGTERM);
    const int status = process_.waitForExit(std::chrono::seconds(30));
    classifyUpTo(process_.output().size());
    if (classified_ < process_.output().size()) {
      classify(process_.output().substr(classified_));
    }
    return status;
  }

  std::size_t pressesTaken() const {return presses_taken_;}
  std::size_t unexpectedLines() const {return unexpected_;}
  const std::string & firstUnexpected() const {return first_unexpected_;}

private:
  void classifyUpTo(std::size_t end)
  {
    const std::string & output = process_.output();
    for (std::size_t line_end; (line_end = output.find('\n', classified_)) < end; ) {
      classify(output.substr(classified_, line_end - classified_));
      classified_ = line_end + 1;
    }
  }

  void classify(const std::string & line)
  {
    static const std::regex expected(
      R"(environment variable SPDLOG_(STDOUT|SYSTEMD|LEVEL) is not set, and set .*|)"
      R"(  1 \[INFO\] log_level: 2|)"
      R"([ 0-9]{3} \[WARN\] bumperCallback (msg->bumper_trig=1|use time: [0-9]+\.[0-9]{4} ms)|)"
      // Humble's Cyclone DDS says so once at start when ROS_LOCALHOST_ONLY=1, and Humble's
      // rclcpp when its handler takes our SIGTERM.
      R"([0-9.]+ \[[0-9]+\] [^:]+: selected interface "lo" is not multicast-capable: disabling multicast|)"
      R"(\[INFO\] \[[0-9.]+\] \[rclcpp\]: signal_handler\(signum=15\))");
    if (!std::regex_match(line, expected)) {
      if (unexpected_++ == 0) {
        first_unexpected_ = line;
      }
    } else if (line.find("bumper_trig=1") != std::string::npos) {
      ++presses_taken_;
    }
  }

  obsfeed_test::ChildProcess process_;
  std::size_t classified_{0};
  std::size_t presses_taken_{0};
  std::size_t unexpected_{0};
  std::string first_unexpected_;
};

/// The robot's side: the ultrasonic driver, the base controller and a costmap listening to
/// every scan, counting for each reading how many of its scans came back.
class RobotSide : public rclcpp::Node
{
public:
  RobotSide()
  : Node("obsfeed_soak")
  {
    readings_ = create_publisher<std_msgs::msg::UInt16MultiArray>(
      "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(1));
    bumper_ = create_publisher<quorvex_protocol::msg::RobotInfoLevelZero>(
      "/robot_info_level_zero", rclcpp::QoS(1));
    last_reading_.assign(kSensors, -1);
    for (std::size_t n = 1; n <= kSensors; ++n) {
      scans_.push_back(
        create_subscription<sensor_msgs::msg::LaserScan>(
          "ultrasonic_laser" + std::to_string(n), rclcpp::QoS(10000),
          [this, n](std::shared_ptr<const sensor_msgs::msg::LaserScan> scan) {onScan(n, *scan);}));
    }
    arcs_ = create_subscription<sensor_msgs::msg::LaserScan>(
      "bumper_laser", rclcpp::QoS(10000),
      [this](std::shared_ptr<const sensor_msgs::msg::LaserScan>) {++arcs_received_;});
  }

  /// Both directions matched on every topic.
  bool connected() const
  {
    bool all = readings_->get_subscription_count() > 0 && bumper_->get_subscription_count() > 0 &&
      arcs_->get_publisher_count() > 0;
    for (const auto & scan : scans_) {
      all = all && scan->get_publisher_count() > 0;
    }
    return all;
  }

  void sendReading(std::int64_t number)
  {
    std_msgs::msg::UInt16MultiArray message;
    message.data.assign(kSensors, static_cast<std::uint16_t>(1 + number % kCycle));
    readings_->publish(message);
  }

  void pressBumper()
  {
    quorvex_protocol::msg::RobotInfoLevelZero message;
    message.bumper_trig = true;
    bumper_->publish(message);
  }

  /// Readings that came back on at least one topic, and those of them missing a scan.
  std::pair<std::size_t, std::size_t> takenAndIncomplete(std::int64_t sent) const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t taken = 0;
    std::size_t incomplete = 0;
    for (std::int64_t number = first_counted_; number < sent && number < static_cast<std::int64_t>(
        scans_per_reading_.size()); ++number)
    {
      const auto count = scans_per_reading_[static_cast<std::size_t>(number)];
      taken += count > 0;
      incomplete += count > 0 && count != kSensors;
    }
    return {taken, incomplete};
  }

  std::size_t arcsReceived() const {return arcs_received_;}
  std::size_t scansReceived() const {return scans_received_;}
  std::size_t malformedScans() const {return malformed_;}

  /// Forgets the warm-up: only readings numbered from @p first count.
  void countFrom(std::int64_t first)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    first_counted_ = first;
  }

private:
  void onScan(std::size_t n, const sensor_msgs::msg::LaserScan & scan)
  {
    const bool shaped = scan.header.frame_id == "ultrasonic_0" + std::to_string(n) + "_link" &&
      scan.ranges.size() == 100 && scan.ranges.front() == scan.ranges.back();
    ++scans_received_;
    const long raw = shaped ? std::lround(scan.ranges.front() * 1000.0) : -1;
    std::lock_guard<std::mutex> lock(mutex_);
    if (raw < 1 || raw > static_cast<long>(kCycle)) {
      ++malformed_;
      return;
    }
    // Readings come back in the order they were sent: unwrap the cycle from the last one seen.
    std::int64_t & last = last_reading_[n - 1];
    const std::int64_t residue = raw - 1;
    std::int64_t number = residue;
    if (last >= 0) {
      number = last + ((residue - last % kCycle) % kCycle + kCycle) % kCycle;
    }
    last = number;
    if (number < first_counted_) {
      return;
    }
    if (scans_per_reading_.size() <= static_cast<std::size_t>(number)) {
      scans_per_reading_.resize(static_cast<std::size_t>(number) + 1, 0);
    }
    ++scans_per_reading_[static_cast<std::size_t>(number)];
  }

  rclcpp::Publisher<std_msgs::msg::UInt16MultiArray>::SharedPtr readings_;
  rclcpp::Publisher<quorvex_protocol::msg::RobotInfoLevelZero>::SharedPtr bumper_;
  std::vector<rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr> scans_;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr arcs_;
  mutable std::mutex mutex_;
  std::vector<std::int64_t> last_reading_;
  std::vector<std::uint8_t> scans_per_reading_;
  // Nothing counts until the warm-up is over.
  std::int64_t first_counted_{std::numeric_limits<std::int64_t>::max()};
  std::atomic<std::size_t> arcs_received_{0};
  std::atomic<std::size_t> scans_received_{0};
  std::size_t malformed_{0};
};

/// Calls @p send at @p rate Hz until @p stop; a tick that comes late is not made up for.
std::int64_t runAt(double rate, const std::atomic<bool> & stop, const std::function<void(std::int64_t)> & send)
{
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
  auto next = Clock::now();
  std::int64_t sent = 0;
  while (!stop) {
    send(sent++);
    next = std::max(next + period, Clock::now() - period);
    std::this_thread::sleep_until(next);
  }
  return sent;
}

}  // namespace

int main(int argc, char ** argv)
{
  Options options;
  try {
    options = parseOptions(argc, argv);
  } catch (const std::exception & error) {
    std::fprintf(stderr, "obsfeed_soak: %s\nusage: obsfeed_soak --node PATH [--seconds S] "
      "[--warm-up S] [--rate HZ] [--bumper-rate HZ]\n", error.what());
    return 2;
  }
  // A domain of our own, on loopback only, shared with the node we start.
  if (std::getenv("ROS_DOMAIN_ID") == nullptr) {
    setenv("ROS_DOMAIN_ID", std::to_string(1 + getpid() % 200).c_str(), 1);
  }
  setenv("ROS_LOCALHOST_ONLY", "1", 1);
  for (const char * variable : {"SPDLOG_STDOUT", "SPDLOG_SYSTEMD", "SPDLOG_LEVEL"}) {
    unsetenv(variable);
  }

  rclcpp::init(argc, argv, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::None);
  NodeUnderSoak node(options.node);
  auto robot = std::make_shared<RobotSide>();
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(robot);
  std::thread spinner([&executor]() {executor.spin();});

  bool ok = true;
  const auto connect_deadline = Clock::now() + 60s;
  while (!robot->connected() && Clock::now() < connect_deadline) {
    std::this_thread::sleep_for(10ms);
  }
  if (!robot->connected()) {
    std::fprintf(stderr, "obsfeed_soak: obsfeed_node never appeared on the domain\n");
    ok = false;
  }

  std::atomic<bool> stop{!ok};
  std::atomic<std::int64_t> readings_sent{0};
  std::thread readings([&]() {
      readings_sent = runAt(options.rate, stop, [&](std::int64_t number) {
        robot->sendReading(number);
        readings_sent = number + 1;
      });
    });
  std::thread presses([&]() {runAt(options.bumper_rate, stop, [&](std::int64_t) {robot->pressBumper();});});

  // Resident memory once a second; the reference is the highest value seen during warm-up.
  const auto start = Clock::now();
  const auto warm = start + std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double>(options.warm_up));
  const auto end = start + std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double>(options.seconds));
  long warm_rss = 0;
  long peak_rss = 0;
  long last_rss = 0;
  std::int64_t first_counted = 0;
  std::size_t presses_before = 0;
  std::size_t arcs_before = 0;
  bool warmed = false;
  while (ok && Clock::now() < end) {
    std::this_thread::sleep_for(1s);
    node.readLines();
    last_rss = node.residentKib();
    if (!warmed && Clock::now() >= warm) {
      warmed = true;
      // Readings and presses of the warm-up do not count; neither do ones still in flight.
      first_counted = readings_sent + static_cast<std::int64_t>(options.rate);
      robot->countFrom(first_counted);
      presses_before = node.pressesTaken();
      arcs_before = robot->arcsReceived();
    }
    if (!warmed) {
      warm_rss = std::max(warm_rss, last_rss);
    } else {
      peak_rss = std::max(peak_rss, last_rss);
    }
  }
  stop = true;
  readings.join();
  presses.join();
  // Let the last answers arrive: a node that lags (under a sanitizer, say) is still working off
  // what it took; wait until nothing has come for a second.
  for (auto deadline = Clock::now() + 60s; Clock::now() < deadline; ) {
    const auto before = robot->scansReceived() + robot->arcsReceived();
    std::this_thread::sleep_for(1s);
    if (robot->scansReceived() + robot->arcsReceived() == before) {
      break;
    }
  }

  const std::int64_t sent = readings_sent;
  const auto [taken, incomplete] = robot->takenAndIncomplete(sent);
  const std::size_t counted = sent > first_counted ? static_cast<std::size_t>(sent - first_counted) : 0;
  node.readLines();
  const std::size_t presses_taken = node.pressesTaken() - presses_before;
  const std::size_t arcs = robot->arcsReceived() - arcs_before;
  const int status = node.terminate();
  executor.cancel();
  spinner.join();
  rclcpp::shutdown();

  const long drift = peak_rss - warm_rss;
  // Flat: allocator noise of a few pages, not growth with the number of messages handled. Under
  // a sanitizer freed memory sits in quarantine and says nothing about leaks (LeakSanitizer
  // checks those at exit), so memory is not judged there.
  const bool sanitized = std::getenv("ASAN_OPTIONS") != nullptr || std::getenv("TSAN_OPTIONS") != nullptr;
  const long allowed_drift = 1024 + warm_rss / 50;
  const bool memory_flat = warmed && (sanitized || drift <= allowed_drift);
  const bool all_scans = taken > 0 && incomplete == 0 && robot->malformedScans() == 0;
  // One press may straddle the moment the warm-up ended.
  const bool all_arcs = presses_taken > 0 && arcs + 1 >= presses_taken && arcs <= presses_taken + 1;
  const bool clean_log = node.unexpectedLines() == 0;
  const bool clean_exit = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  std::printf(
    "obsfeed_soak: %.0f s, %zu sensors at %.0f Hz (%.0f Hz sent), bumper at %.0f Hz | "
    "readings counted %zu, taken %zu, skipped %zu, lost %zu | presses taken %zu, arcs %zu | "
    "RSS %ld KiB after warm-up, peak %ld KiB, drift %+ld KiB (allowed %ld) | "
    "unexpected lines %zu | exit status %d\n",
    options.seconds, kSensors, options.rate,
    static_cast<double>(sent) / options.seconds, options.bumper_rate, counted, taken,
    counted - std::min(counted, taken), incomplete, presses_taken, arcs, warm_rss, peak_rss, drift,
    allowed_drift, node.unexpectedLines(), WIFEXITED(status) ? WEXITSTATUS(status) : -status);
  if (!clean_log) {
    std::printf("obsfeed_soak: first unexpected line: %s\n", node.firstUnexpected().c_str());
  }
  std::printf(
    "obsfeed_soak: scans %s, arcs %s, memory %s, log %s, exit %s\n", all_scans ? "ok" : "FAILED",
    all_arcs ? "ok" : "FAILED",
    sanitized ? "not judged (sanitizer)" : memory_flat ? "ok" : "FAILED", clean_log ? "ok" : "FAILED",
    clean_exit ? "ok" : "FAILED");
  return ok && all_scans && all_arcs && memory_flat && clean_log && clean_exit ? 0 : 1;
}
