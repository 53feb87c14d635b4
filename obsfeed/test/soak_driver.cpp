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

// obsfeed_soak: runs obsfeed_node as the robot would for a given time (ten sensors read at
// 1 kHz, the bumper pressed at 100 Hz) and checks what a robot needs from it after months:
//   - every reading the node took came back as one scan on each of its sensors' topics, and
//     every press it took (its trigger line) as one arc;
//   - its resident memory stayed flat once warmed up;
//   - it wrote no line besides its start-up lines and its bumper lines;
//   - SIGTERM ended it with status 0.
// The node keeps only the newest reading (keep last 1), so a reading that arrives before it
// took the previous one replaces it: such readings are counted as skipped, not lost.
//
//   obsfeed_soak --node PATH [--seconds 60]
//
// Prints one summary line and exits 0 when every check held, 1 otherwise.

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "obsfeed_child_process/child_process.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "support/eventually.hpp"
#include "support/robot_peer.hpp"

namespace
{

using Clock = std::chrono::steady_clock;
using sensor_msgs::msg::LaserScan;
using namespace std::chrono_literals;

constexpr std::size_t kSensors = 10;
constexpr double kReadingHz = 1000.0;
constexpr double kPressHz = 100.0;
// A reading carries its number: every sensor reads 1 + (number mod kCycle) mm. With a safe
// angle of 0 and a 65 m range the scan shows it unchanged, so each scan names its reading.
constexpr std::int64_t kCycle = 60000;

/// Resident memory of process @p pid in KiB, 0 once it is gone.
std::int64_t residentKib(pid_t pid)
{
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line); ) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::stoll(line.substr(6));
    }
  }
  return 0;
}

std::size_t pressesTaken(const std::string & output)
{
  std::size_t presses = 0;
  for (auto at = output.find("bumper_trig=1"); at != std::string::npos;
    at = output.find("bumper_trig=1", at + 1))
  {
    ++presses;
  }
  return presses;
}

/// The lines of @p output besides the node's start-up lines and its bumper lines.
std::vector<std::string> unexpectedLines(const std::string & output)
{
  static const std::regex expected(
    R"(environment variable SPDLOG_(STDOUT|SYSTEMD|LEVEL) is not set, and set .*|)"
    R"(  1 \[INFO\] log_level: 2|)"
    R"([ 0-9]{3} \[WARN\] bumperCallback (msg->bumper_trig=1|use time: [0-9]+\.[0-9]{4} ms)|)"
    // Humble's Cyclone DDS says so once at start when ROS_LOCALHOST_ONLY=1, and Humble's
    // rclcpp when its handler takes our SIGTERM.
    R"([0-9.]+ \[[0-9]+\] [^:]+: selected interface "lo" is not multicast-capable: disabling multicast|)"
    R"(\[INFO\] \[[0-9.]+\] \[rclcpp\]: signal_handler\(signum=15\))");
  std::vector<std::string> unexpected;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line); ) {
    if (!std::regex_match(line, expected)) {
      unexpected.push_back(line);
    }
  }
  return unexpected;
}

/// The costmap's side: every scan topic, counting for each reading how many of its scans came
/// back.
class ScanCounter
{
public:
  explicit ScanCounter(rclcpp::Node & node)
  {
    for (std::size_t n = 1; n <= kSensors; ++n) {
      subscriptions_.push_back(
        node.create_subscription<LaserScan>(
          "ultrasonic_laser" + std::to_string(n), rclcpp::QoS(10000),
          [this, n](std::shared_ptr<const LaserScan> scan) {onScan(n, *scan);}));
    }
    subscriptions_.push_back(
      node.create_subscription<LaserScan>(
        "bumper_laser", rclcpp::QoS(10000), [this](std::shared_ptr<const LaserScan>) {++arcs;}));
  }

  /// Readings that came back on at least one topic, and those of them missing a scan.
  std::pair<std::size_t, std::size_t> takenAndIncomplete(std::int64_t sent) const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t taken = 0;
    std::size_t incomplete = 0;
    for (std::int64_t number = first_counted_;
      number < std::min<std::int64_t>(sent, scans_per_reading_.size()); ++number)
    {
      const auto count = scans_per_reading_[static_cast<std::size_t>(number)];
      taken += count > 0;
      incomplete += count > 0 && count != kSensors;
    }
    return {taken, incomplete};
  }

  /// Forgets the warm-up: only readings numbered from @p first count.
  void countFrom(std::int64_t first)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    first_counted_ = first;
  }

  std::atomic<std::size_t> arcs{0};
  std::atomic<std::size_t> scans{0};
  std::size_t malformed{0};

private:
  void onScan(std::size_t n, const LaserScan & scan)
  {
    const bool shaped = scan.header.frame_id == "ultrasonic_0" + std::to_string(n) + "_link" &&
      scan.ranges.size() == 100 && scan.ranges.front() == scan.ranges.back();
    ++scans;
    const std::int64_t raw = shaped ? std::llround(scan.ranges.front() * 1000.0) : -1;
    std::lock_guard<std::mutex> lock(mutex_);
    if (raw < 1 || raw > kCycle) {
      ++malformed;
      return;
    }
    // Readings come back in the order they were sent: unwrap the cycle from the last one seen.
    std::int64_t & last = last_reading_[n - 1];
    const std::int64_t residue = raw - 1;
    last = last < 0 ? residue : last + ((residue - last % kCycle) % kCycle + kCycle) % kCycle;
    if (last < first_counted_) {
      return;
    }
    if (scans_per_reading_.size() <= static_cast<std::size_t>(last)) {
      scans_per_reading_.resize(static_cast<std::size_t>(last) + 1, 0);
    }
    ++scans_per_reading_[static_cast<std::size_t>(last)];
  }

  std::vector<rclcpp::Subscription<LaserScan>::SharedPtr> subscriptions_;
  mutable std::mutex mutex_;
  std::vector<std::int64_t> last_reading_ = std::vector<std::int64_t>(kSensors, -1);
  std::vector<std::uint8_t> scans_per_reading_;
  // Nothing counts until the warm-up is over.
  std::int64_t first_counted_{std::numeric_limits<std::int64_t>::max()};
};

/// Calls @p send at @p rate Hz until @p stop; a tick that comes late is not made up for.
std::int64_t runAt(
  double rate, const std::atomic<bool> & stop,
  const std::function<void(std::int64_t)> & send)
{
  const auto period =
    std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
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
  std::map<std::string, std::string> options{{"--seconds", "60"}};
  for (int i = 1; i + 1 < argc; i += 2) {
    options[argv[i]] = argv[i + 1];
  }
  const double seconds = std::atof(options["--seconds"].c_str());
  if (argc % 2 == 0 || options.size() != 2 || options.count("--node") == 0 || !(seconds > 0.0)) {
    std::fprintf(stderr, "usage: obsfeed_soak --node PATH [--seconds S]\n");
    return 2;
  }
  obsfeed_test::joinIsolatedNetwork();

  rclcpp::init(argc, argv, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::None);
  obsfeed_child_process::ChildProcess node(
    options["--node"], {"--ros-args",
      "-p", "ultrasonic.device_pose:=[hor, hor, hor, hor, hor, hor, hor, hor, hor, hor]",
      "-p", "ultrasonic.hor_range_max:=65.0", "-p", "ultrasonic.hor_safe_angle:=0.0"},
    {}, obsfeed_child_process::ChildOutput::capturedWithErrors());
  auto robot = std::make_unique<obsfeed_test::RobotPeer>("obsfeed_soak");
  ScanCounter costmap(robot->node());
  robot->spin();

  // Until the node's writers have matched the costmap's readers too, scans go to nobody: the
  // warm-up covers that.
  const bool ok = obsfeed_test::eventually([&]() {return robot->heardByOneNode();}, 60s);
  if (!ok) {
    std::fprintf(stderr, "obsfeed_soak: obsfeed_node never appeared on the domain\n");
  }

  std::atomic<bool> stop{!ok};
  std::atomic<std::int64_t> sent{0};
  std::thread readings([&]() {
      runAt(
        kReadingHz, stop, [&](std::int64_t number) {
          robot->sendReadings(
            std::vector<std::uint16_t>(kSensors, static_cast<std::uint16_t>(1 + number % kCycle)));
          sent = number + 1;
        });
    });
  std::thread presses([&]() {runAt(kPressHz, stop, [&](std::int64_t) {robot->sendBumper(true);});});

  // Resident memory once a second; the reference is the highest value seen during warm-up. The
  // readings and presses of the warm-up do not count; neither do ones still in flight.
  const auto start = Clock::now();
  const auto warm = start + std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double>(std::min(20.0, seconds / 3.0)));
  const auto end = start + std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double>(seconds));
  std::int64_t warm_rss = 0;
  std::int64_t peak_rss = 0;
  std::int64_t first_counted = 0;
  std::size_t presses_before = 0;
  std::size_t arcs_before = 0;
  bool warmed = false;
  while (ok && Clock::now() < end) {
    std::this_thread::sleep_for(1s);
    node.readAvailable();
    const std::int64_t rss = residentKib(node.pid());
    if (!warmed && Clock::now() >= warm) {
      warmed = true;
      first_counted = sent.load() + static_cast<std::int64_t>(kReadingHz);
      costmap.countFrom(first_counted);
      presses_before = pressesTaken(node.output());
      arcs_before = costmap.arcs.load();
    }
    std::int64_t & highest = warmed ? peak_rss : warm_rss;
    highest = std::max(highest, rss);
  }
  stop = true;
  readings.join();
  presses.join();
  // Let the last answers arrive: a node that lags (under a sanitizer, say) is still working off
  // what it took; wait until nothing has come for a second.
  for (auto deadline = Clock::now() + 60s; Clock::now() < deadline; ) {
    const std::size_t before = costmap.scans.load() + costmap.arcs.load();
    std::this_thread::sleep_for(1s);
    if (costmap.scans.load() + costmap.arcs.load() == before) {
      break;
    }
  }

  const std::int64_t sent_total = sent;
  const auto [taken, incomplete] = costmap.takenAndIncomplete(sent_total);
  const std::size_t counted =
    sent_total > first_counted ? static_cast<std::size_t>(sent_total - first_counted) : 0;
  node.readAvailable();
  const std::size_t presses_taken = pressesTaken(node.output()) - presses_before;
  const std::size_t arcs = costmap.arcs.load() - arcs_before;
  node.sendSignal(SIGTERM);
  const int status = node.waitForExit(30s);
  const std::vector<std::string> unexpected = unexpectedLines(node.output());
  robot.reset();
  rclcpp::shutdown();

  const std::int64_t drift = peak_rss - warm_rss;
  // Flat: allocator noise of a few pages, not growth with the number of messages handled. Under
  // a sanitizer freed memory sits in quarantine and says nothing about leaks (LeakSanitizer
  // checks those at exit), so memory is not judged there.
  const bool sanitized = std::getenv("ASAN_OPTIONS") != nullptr ||
    std::getenv("TSAN_OPTIONS") != nullptr;
  const std::int64_t allowed_drift = 1024 + warm_rss / 50;
  const bool memory_flat = warmed && (sanitized || drift <= allowed_drift);
  const bool all_scans = taken > 0 && incomplete == 0 && costmap.malformed == 0;
  // One press may straddle the moment the warm-up ended.
  const bool all_arcs = presses_taken > 0 && arcs + 1 >= presses_taken && arcs <= presses_taken + 1;
  const bool clean_exit = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  std::printf(
    "obsfeed_soak: %.0f s, %zu sensors at %.0f Hz (%.0f Hz sent), bumper at %.0f Hz | "
    "readings counted %zu, taken %zu, skipped %zu, lost %zu | presses taken %zu, arcs %zu | "
    "RSS %" PRId64 " KiB after warm-up, peak %" PRId64 " KiB, drift %+" PRId64
    " KiB (allowed %" PRId64 ") | unexpected lines %zu%s%s | wait status %d\n",
    seconds, kSensors, kReadingHz, static_cast<double>(sent_total) / seconds, kPressHz,
    counted, taken, counted - std::min(counted, taken), incomplete,
    presses_taken, arcs,
    warm_rss, peak_rss, drift, allowed_drift,
    unexpected.size(), unexpected.empty() ? "" : ", the first: ",
    unexpected.empty() ? "" : unexpected.front().c_str(), status);
  std::printf(
    "obsfeed_soak: scans %s, arcs %s, memory %s, log %s, exit %s\n", all_scans ? "ok" : "FAILED",
    all_arcs ? "ok" : "FAILED",
    sanitized ? "not judged (sanitizer)" : memory_flat ? "ok" : "FAILED",
    unexpected.empty() ? "ok" : "FAILED", clean_exit ? "ok" : "FAILED");
  return ok && all_scans && all_arcs && memory_flat && unexpected.empty() && clean_exit ? 0 : 1;
}
