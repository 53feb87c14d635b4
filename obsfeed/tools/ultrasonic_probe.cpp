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

// obsfeed_probe: sends one ultrasonic readings array (and, if asked, one bumper contact) to a
// running obsfeed_node and prints the scans that come back, with the time each took from our
// publish to its arrival here (one host, one steady clock).
//
//   obsfeed_probe [--bumper] [--timeout SECONDS] [--repeat ROUNDS] READING_MM... [--ros-args ...]
//   obsfeed_probe --help
//
// Readings are millimetres, decimal or 0x-hex (0xFFFF: no echo, 0xEEEE: sensor fault). With
// --repeat the same message is sent ROUNDS times, each after the previous answer was complete,
// and the latency distribution is printed (the scans only for the first round). Exit status: 0
// when every expected scan arrived (or for --help, which prints the usage on standard output),
// 1 when some did not within the timeout, 2 for a bad command line.

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "quorvex_protocol/msg/robot_info_level_zero.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

namespace
{

using Clock = std::chrono::steady_clock;
using sensor_msgs::msg::LaserScan;

struct ProbeRequest
{
  std::vector<uint16_t> readings;
  bool bumper = false;
  std::chrono::seconds timeout{10};
  size_t rounds = 1;
  bool help = false;
};

void print_usage(std::ostream & out)
{
  out <<
    "usage: obsfeed_probe [--bumper] [--timeout SECONDS] [--repeat ROUNDS] READING_MM...\n"
    "                     [--ros-args ...]\n"
    "       obsfeed_probe --help\n"
    "  Publishes the readings on /quorvex_ultrasonic/original_ultrasonic (and with --bumper a\n"
    "  pressed bumper on /robot_info_level_zero), then prints the scans obsfeed_node sends on\n"
    "  ultrasonic_laser1..N and bumper_laser.\n";
}

uint16_t parse_reading(const std::string & text)
{
  size_t used = 0;
  unsigned long value = 0;  // NOLINT(runtime/int)
  try {
    value = std::stoul(text, &used, 0);
  } catch (const std::logic_error &) {  // no number at all, or out of range
    used = 0;
  }
  if (used == 0 || used != text.size() || text[0] == '-' || value > 0xFFFF) {
    throw std::invalid_argument("not a reading from 0 to 65535 mm: \"" + text + "\"");
  }
  return static_cast<uint16_t>(value);
}

/// The arguments left once rclcpp took its own.
ProbeRequest parse_request(const std::vector<std::string> & arguments)
{
  ProbeRequest request;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string & argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      request.help = true;
      return request;
    } else if (argument == "--bumper") {
      request.bumper = true;
    } else if (argument == "--timeout" && i + 1 < arguments.size()) {
      request.timeout = std::chrono::seconds(parse_reading(arguments[++i]));
    } else if (argument == "--repeat" && i + 1 < arguments.size()) {
      request.rounds = std::max<size_t>(parse_reading(arguments[++i]), 1);
    } else {
      request.readings.push_back(parse_reading(argument));
    }
  }
  if (request.readings.empty() && !request.bumper) {
    throw std::invalid_argument("nothing to send: give readings, --bumper, or both");
  }
  return request;
}

class UltrasonicProbe : public rclcpp::Node
{
public:
  explicit UltrasonicProbe(const ProbeRequest & request)
  : Node("obsfeed_probe"), request_(request)
  {
    readings_pub_ = create_publisher<std_msgs::msg::UInt16MultiArray>(
      "/quorvex_ultrasonic/original_ultrasonic", rclcpp::QoS(1));
    bumper_pub_ = create_publisher<quorvex_protocol::msg::RobotInfoLevelZero>(
      "/robot_info_level_zero", rclcpp::QoS(1));
    for (size_t n = 1; n <= request_.readings.size(); ++n) {
      listen("ultrasonic_laser" + std::to_string(n));
    }
    if (request_.bumper) {
      listen("bumper_laser");
    }
  }

  /// Everything we publish to, and every scan topic we listen to, has found its peer: only
  /// then can nothing we send, nor any scan the node sends back, be lost to discovery.
  bool connected() const
  {
    if (!request_.readings.empty() && readings_pub_->get_subscription_count() == 0) {
      return false;
    }
    if (request_.bumper && bumper_pub_->get_subscription_count() == 0) {
      return false;
    }
    for (const auto & subscription : subscriptions_) {
      if (subscription->get_publisher_count() == 0) {
        return false;
      }
    }
    return true;
  }

  /// Sends the request once; `verbose` prints each scan of the answer.
  void send(bool verbose)
  {
    verbose_ = verbose;
    received_ = 0;
    sent_at_ = Clock::now();
    if (!request_.readings.empty()) {
      std_msgs::msg::UInt16MultiArray readings;
      readings.data = request_.readings;
      readings_pub_->publish(readings);
    }
    if (request_.bumper) {
      quorvex_protocol::msg::RobotInfoLevelZero info;
      info.header.stamp = now();
      info.bumper_trig = true;
      bumper_pub_->publish(info);
    }
  }

  size_t expected() const {return subscriptions_.size();}
  size_t received() const {return received_;}
  /// From the last send() to the scan that completed its answer.
  double answer_ms() const {return last_latency_ms_;}

private:
  void listen(const std::string & topic)
  {
    subscriptions_.push_back(
      create_subscription<LaserScan>(
        topic, rclcpp::QoS(10), [this, topic](const LaserScan & scan) {print(topic, scan);}));
  }

  void print(const std::string & topic, const LaserScan & scan)
  {
    const double latency_ms =
      std::chrono::duration<double, std::milli>(Clock::now() - sent_at_).count();
    ++received_;
    last_latency_ms_ = latency_ms;
    if (!verbose_) {
      return;
    }
    float nearest = scan.ranges.empty() ? 0.0f : scan.ranges.front();
    float farthest = nearest;
    for (float range : scan.ranges) {
      nearest = std::min(nearest, range);
      farthest = std::max(farthest, range);
    }
    std::printf(
      "%-18s frame=%s stamp=%d.%09u angles=[%.5f, %.5f] step=%.6f rays=%zu "
      "range=[%.4f, %.4f] limits=[%.3f, %.3f] latency=%.3f ms\n",
      topic.c_str(), scan.header.frame_id.c_str(), scan.header.stamp.sec,
      scan.header.stamp.nanosec, scan.angle_min, scan.angle_max, scan.angle_increment,
      scan.ranges.size(), nearest, farthest, scan.range_min, scan.range_max, latency_ms);
    std::fflush(stdout);
  }

  ProbeRequest request_;
  rclcpp::Publisher<std_msgs::msg::UInt16MultiArray>::SharedPtr readings_pub_;
  rclcpp::Publisher<quorvex_protocol::msg::RobotInfoLevelZero>::SharedPtr bumper_pub_;
  std::vector<rclcpp::Subscription<LaserScan>::SharedPtr> subscriptions_;
  Clock::time_point sent_at_;
  bool verbose_ = true;
  size_t received_ = 0;
  double last_latency_ms_ = 0.0;
};

}  // namespace

int main(int argc, char ** argv)
{
  const auto arguments = rclcpp::init_and_remove_ros_arguments(argc, argv);
  ProbeRequest request;
  try {
    request = parse_request(arguments);
  } catch (const std::exception & error) {
    std::cerr << "obsfeed_probe: " << error.what() << "\n";
    print_usage(std::cerr);
    rclcpp::shutdown();
    return 2;
  }
  if (request.help) {
    print_usage(std::cout);
    rclcpp::shutdown();
    return 0;
  }

  auto probe = std::make_shared<UltrasonicProbe>(request);
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(probe);
  const auto deadline = Clock::now() + request.timeout;

  while (rclcpp::ok() && !probe->connected() && Clock::now() < deadline) {
    executor.spin_once(std::chrono::milliseconds(10));  // discovery has no event to wait for
  }
  if (!probe->connected()) {
    std::cerr << "obsfeed_probe: no obsfeed_node answered on this ROS_DOMAIN_ID within "
              << request.timeout.count() << " s\n";
    rclcpp::shutdown();
    return 1;
  }
  std::vector<double> answers_ms;
  bool complete = true;
  for (size_t round = 0; complete && round < request.rounds; ++round) {
    probe->send(round == 0);
    const auto round_deadline = Clock::now() + request.timeout;
    while (rclcpp::ok() && probe->received() < probe->expected() && Clock::now() < round_deadline) {
      executor.spin_once(round_deadline - Clock::now());
    }
    complete = probe->received() == probe->expected();
    if (round == 0 || !complete) {
      std::printf("received %zu of %zu scans\n", probe->received(), probe->expected());
    }
    answers_ms.push_back(probe->answer_ms());
  }
  if (complete && answers_ms.size() > 1) {
    std::sort(answers_ms.begin(), answers_ms.end());
    const auto at = [&answers_ms](double fraction) {
        const double last = static_cast<double>(answers_ms.size() - 1);
        return answers_ms[static_cast<size_t>(fraction * last)];
      };
    std::printf(
      "%zu rounds, publish to last scan: min %.3f  median %.3f  p90 %.3f  p99 %.3f  max %.3f ms\n",
      answers_ms.size(), answers_ms.front(), at(0.5), at(0.9), at(0.99), answers_ms.back());
  }
  rclcpp::shutdown();
  return complete ? 0 : 1;
}
