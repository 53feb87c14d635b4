// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

// A small Humble-style program using only the documented subset of the client library, through
// the umbrella header, the way application code does. It must compile and run unchanged
// against ROS 2 Humble.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/header.hpp"
#include "std_msgs/msg/u_int16_multi_array.hpp"

using namespace std::chrono_literals;

namespace
{

class RangeRelay : public rclcpp::Node
{
public:
  explicit RangeRelay(const rclcpp::NodeOptions & options = rclcpp::NodeOptions())
  : rclcpp::Node("range_relay", options)
  {
    rcl_interfaces::msg::ParameterDescriptor descriptor;
    descriptor.description = "largest range reported, metres";
    range_max_ = this->declare_parameter("range_max", 2.0, descriptor);
    frame_ = this->declare_parameter<std::string>("frame", "relay_link");
    parameter_handle_ = this->add_on_set_parameters_callback(
      std::bind(&RangeRelay::on_parameters, this, std::placeholders::_1));

    group_ = this->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
    rclcpp::SubscriptionOptions options_with_group;
    options_with_group.callback_group = group_;
    ranges_sub_ = this->create_subscription<std_msgs::msg::UInt16MultiArray>(
      "ranges", rclcpp::SensorDataQoS(),
      std::bind(&RangeRelay::on_ranges, this, std::placeholders::_1), options_with_group);
    scan_pub_ = this->create_publisher<sensor_msgs::msg::LaserScan>("scan", rclcpp::QoS(10));
  }

  double range_max() const {return range_max_;}

private:
  rcl_interfaces::msg::SetParametersResult on_parameters(
    const std::vector<rclcpp::Parameter> & parameters)
  {
    rcl_interfaces::msg::SetParametersResult result;
    result.successful = true;
    for (const auto & parameter : parameters) {
      if (parameter.get_name() == "range_max") {
        if (parameter.get_type() != rclcpp::ParameterType::PARAMETER_DOUBLE) {
          result.successful = false;
          result.reason = "range_max must be a double";
        } else {
          range_max_ = parameter.as_double();
        }
      }
    }
    return result;
  }

  void on_ranges(const std_msgs::msg::UInt16MultiArray::SharedPtr msg)
  {
    sensor_msgs::msg::LaserScan scan;
    scan.header.stamp = this->now();
    scan.header.frame_id = frame_;
    scan.range_max = static_cast<float>(range_max_);
    for (const auto millimetres : msg->data) {
      scan.ranges.push_back(static_cast<float>(millimetres) / 1000.0f);
    }
    scan_pub_->publish(scan);
  }

  double range_max_;
  std::string frame_;
  OnSetParametersCallbackHandle::SharedPtr parameter_handle_;
  rclcpp::CallbackGroup::SharedPtr group_;
  rclcpp::Subscription<std_msgs::msg::UInt16MultiArray>::SharedPtr ranges_sub_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_pub_;
};

}  // namespace

TEST(ReferenceApi, HumbleStyleProgramRuns)
{
  const char * argv[] = {"reference_program", "--ros-args", "-p", "range_max:=4.5"};
  rclcpp::init(4, argv);
  ASSERT_TRUE(rclcpp::ok());

  auto relay = std::make_shared<RangeRelay>();
  EXPECT_DOUBLE_EQ(relay->range_max(), 4.5);
  EXPECT_STREQ(relay->get_fully_qualified_name(), "/range_relay");

  auto set_result = relay->set_parameter(rclcpp::Parameter("range_max", "far"));
  EXPECT_FALSE(set_result.successful);
  EXPECT_TRUE(relay->set_parameter(rclcpp::Parameter("range_max", 3.0)).successful);
  EXPECT_DOUBLE_EQ(relay->range_max(), 3.0);

  auto probe = std::make_shared<rclcpp::Node>("probe");
  std::mutex scans_mutex;
  std::vector<sensor_msgs::msg::LaserScan> scans;
  auto scan_sub = probe->create_subscription<sensor_msgs::msg::LaserScan>(
    "/scan", 10, [&](sensor_msgs::msg::LaserScan::ConstSharedPtr scan) {
      std::lock_guard<std::mutex> lock(scans_mutex);
      scans.push_back(*scan);
      if (scans.size() == 2) {
        rclcpp::shutdown();
      }
    });
  auto ranges_pub =
    probe->create_publisher<std_msgs::msg::UInt16MultiArray>("ranges", rclcpp::QoS(5).best_effort());

  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 3, true);
  executor.add_node(relay);
  executor.add_node(probe);

  std_msgs::msg::UInt16MultiArray readings;
  readings.data = {500, 1250};
  ranges_pub->publish(readings);
  auto second = std::make_unique<std_msgs::msg::UInt16MultiArray>(readings);
  second->data.push_back(3000);
  ranges_pub->publish(std::move(second));

  executor.spin();  // until the probe saw both scans and shut down
  EXPECT_FALSE(rclcpp::ok());

  ASSERT_EQ(scans.size(), 2u);
  EXPECT_EQ(scans[0].header.frame_id, "relay_link");
  EXPECT_FLOAT_EQ(scans[0].range_max, 3.0f);
  EXPECT_EQ(scans[0].ranges, (std::vector<float>{0.5f, 1.25f}));
  EXPECT_EQ(scans[1].ranges.size(), 3u);

  const rclcpp::Time stamp(scans[0].header.stamp);
  EXPECT_GT(stamp.nanoseconds(), 0);
  const rclcpp::Time earlier = stamp - rclcpp::Duration(1, 0);
  const builtin_interfaces::msg::Time earlier_msg = earlier;
  EXPECT_EQ(earlier_msg.sec, scans[0].header.stamp.sec - 1);

  rclcpp::Clock steady(RCL_STEADY_TIME);
  const rclcpp::Time start = steady.now();
  const rclcpp::Duration elapsed = steady.now() - start;
  EXPECT_GE(elapsed.nanoseconds(), 0);
  EXPECT_EQ(rclcpp::Duration::from_seconds(0.25).nanoseconds(), 250000000);
}
