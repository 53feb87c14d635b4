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

// A node's parameter services called the way `ros2 param` on a Humble machine calls them: a
// Cyclone participant of the test's own writes "rq/<node>/<service>Request" samples that start
// with a client guid and sequence number, and reads the "rr/...Reply" that must carry both back.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "dds_peer.hpp"
#include "dds_wire/service_sample.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rclcpp/executors/multi_threaded_executor.hpp"
#include "rclcpp/node.hpp"
#include "runtime_test_support.hpp"
#include "std_msgs/msg/header.hpp"

namespace
{

using rcl_interfaces::msg::ParameterType;
using rcl_interfaces::srv::GetParameters;
using rcl_interfaces::srv::ListParameters;
using rcl_interfaces::srv::SetParameters;
using rcl_interfaces::srv::SetParametersAtomically;
using test_support::DdsPeer;

template<typename MessageT>
const rosidl_message_type_support_t * type_support()
{
  return rosidl_typesupport_introspection_cpp::get_message_type_support_handle<MessageT>();
}

/// The client end of one service, laid out as Humble's rmw_cyclonedds lays it out.
template<typename ServiceT>
class RawServiceClient
{
public:
  static constexpr uint64_t kGuid = 0x1122334455667788u;

  explicit RawServiceClient(const std::string & service_name)
  {
    dds_wire::WireQos services;
    services.depth = 10;
    auto qos = dds_wire::QosMapping::to_dds(services);
    static constexpr char user_data[] = "clientid=1.2.3.4.5.6.7.8.9.a.b.c.d.e.f.10;";
    dds_qset_userdata(qos.get(), user_data, sizeof(user_data) - 1);
    writer_ = peer_.writer(
      peer_.dds_topic<typename ServiceT::Request>(
        dds_wire::DdsNames::request_topic(service_name), &request_sertype_), qos.get());
    reader_ = peer_.reader(
      peer_.dds_topic<typename ServiceT::Response>(dds_wire::DdsNames::reply_topic(service_name)),
      qos.get());
  }

  /// What `ros2 param` waits for before calling: both topics matched with a server.
  bool wait_for_service(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const
  {
    return DdsPeer::eventually(
      [this]() {
        dds_publication_matched_status_t writer_status{};
        dds_subscription_matched_status_t reader_status{};
        dds_get_publication_matched_status(writer_, &writer_status);
        dds_get_subscription_matched_status(reader_, &reader_status);
        return writer_status.current_count > 0 && reader_status.current_count > 0;
      }, timeout);
  }

  void send_raw(const std::vector<uint8_t> & bytes)
  {
    DdsPeer::write_raw(writer_, request_sertype_, bytes);
  }

  /// Sends the request and returns the reply to it (matched by guid and sequence number), or
  /// nothing if none came within five seconds.
  std::optional<typename ServiceT::Response> call(const typename ServiceT::Request & request)
  {
    const int64_t sequence_number = ++last_sequence_number_;
    auto bytes = dds_wire::ServiceSample::serialize(
      {kGuid, sequence_number}, &request, type_support<typename ServiceT::Request>());
    bytes.resize((bytes.size() + 3) & ~size_t{3});
    send_raw(bytes);

    // A reply to an earlier call may still arrive first.
    while (ddsi_serdata * sample = DdsPeer::take_raw(reader_)) {
      typename ServiceT::Response response;
      dds_wire::RequestHeader header;
      const auto & serdata = dds_wire::RosSerdata::from(sample);
      const auto result = dds_wire::ServiceSample::deserialize(
        serdata.data(), serdata.size(), header, &response,
        type_support<typename ServiceT::Response>());
      ddsi_serdata_unref(sample);
      EXPECT_TRUE(result.ok) << result.error;
      if (result.ok && header.client_guid == kGuid && header.sequence_number == sequence_number) {
        return response;
      }
    }
    return std::nullopt;
  }

private:
  DdsPeer peer_;  // a client process of its own
  ddsi_sertype * request_sertype_ = nullptr;
  dds_entity_t writer_ = 0;
  dds_entity_t reader_ = 0;
  int64_t last_sequence_number_ = 0;
};

rcl_interfaces::msg::Parameter double_parameter(const std::string & name, double value)
{
  return rclcpp::Parameter(name, value).to_parameter_msg();
}

// (The suite's own peer stays unused: each client is a process of its own.)
class ParameterServicesTest : public test_support::DdsPeerTest
{
protected:
  void SetUp() override
  {
    DdsPeerTest::SetUp();
    rclcpp::ExecutorOptions options;
    options.context = context_;
    executor_ = std::make_unique<rclcpp::executors::MultiThreadedExecutor>(options, 4);
  }

  /// A node named uniquely in this process (so no reply can come from an earlier test's node),
  /// with the parameters the obstacle feed exposes, spinning on four threads.
  rclcpp::Node::SharedPtr spin_node(rclcpp::NodeOptions options = rclcpp::NodeOptions())
  {
    static int counter = 0;
    auto node = std::make_shared<rclcpp::Node>(
      "costmap_input_" + std::to_string(++counter), "/robot", options.context(context_));
    node->declare_parameter("ultrasonic.hor_range_max", 0.5);
    node->declare_parameter("ultrasonic.hor_field_of_view", 0.44);
    node->declare_parameter("bumper.enabled", true);
    executor_->add_node(node);
    spin_in_background();
    return node;
  }

  static std::string service(const rclcpp::Node::SharedPtr & node, const std::string & name)
  {
    return std::string(node->get_fully_qualified_name()) + "/" + name;
  }
};

TEST_F(ParameterServicesTest, SetGetAndListReachTheNodesParametersAsInHumble)
{
  auto node = spin_node();
  RawServiceClient<SetParameters> set(service(node, "set_parameters"));
  RawServiceClient<GetParameters> get(service(node, "get_parameters"));
  RawServiceClient<ListParameters> list(service(node, "list_parameters"));
  ASSERT_TRUE(set.wait_for_service() && get.wait_for_service() && list.wait_for_service());

  // One result per parameter, each set on its own: the undeclared one fails alone.
  SetParameters::Request set_request;
  set_request.parameters = {
    double_parameter("ultrasonic.hor_range_max", 0.3), double_parameter("no.such", 1.0),
    rclcpp::Parameter("bumper.enabled", "yes").to_parameter_msg()};
  const auto set_reply = set.call(set_request);
  ASSERT_TRUE(set_reply);
  ASSERT_EQ(set_reply->results.size(), 3u);
  EXPECT_TRUE(set_reply->results[0].successful) << set_reply->results[0].reason;
  EXPECT_FALSE(set_reply->results[1].successful);
  EXPECT_NE(set_reply->results[1].reason.find("no.such"), std::string::npos);
  EXPECT_FALSE(set_reply->results[2].successful);
  EXPECT_EQ(
    set_reply->results[2].reason,
    "Wrong parameter type, parameter {bumper.enabled} is of type {bool}, setting it to "
    "{string} is not allowed.");
  EXPECT_DOUBLE_EQ(node->get_parameter("ultrasonic.hor_range_max").as_double(), 0.3);
  EXPECT_TRUE(node->get_parameter("bumper.enabled").as_bool());

  GetParameters::Request get_request;
  get_request.names = {"ultrasonic.hor_range_max", "bumper.enabled"};
  const auto values = get.call(get_request);
  ASSERT_TRUE(values);
  ASSERT_EQ(values->values.size(), 2u);
  EXPECT_EQ(values->values[0].type, ParameterType::PARAMETER_DOUBLE);
  EXPECT_DOUBLE_EQ(values->values[0].double_value, 0.3);
  EXPECT_EQ(values->values[1].type, ParameterType::PARAMETER_BOOL);
  EXPECT_TRUE(values->values[1].bool_value);
  // Humble answers a request naming an undeclared parameter with no values at all.
  get_request.names = {"ultrasonic.hor_range_max", "no.such"};
  const auto partly_unknown = get.call(get_request);
  ASSERT_TRUE(partly_unknown);
  EXPECT_TRUE(partly_unknown->values.empty());

  ListParameters::Request list_request;
  list_request.prefixes = {"ultrasonic"};
  const auto listed = list.call(list_request);
  ASSERT_TRUE(listed);
  auto names = listed->result.names;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(
    names, (std::vector<std::string>{"ultrasonic.hor_field_of_view", "ultrasonic.hor_range_max"}));
  EXPECT_EQ(listed->result.prefixes, std::vector<std::string>{"ultrasonic"});
  // Depth 1 keeps only names without a dot: the node's own use_sim_time, not the nested ones.
  list_request.prefixes.clear();
  list_request.depth = 1;
  const auto top_level = list.call(list_request);
  ASSERT_TRUE(top_level);
  EXPECT_EQ(top_level->result.names, std::vector<std::string>{"use_sim_time"});
}

// (Each result of a plain set carries its reason back: the first test.)
TEST_F(ParameterServicesTest, AnAtomicSetRefusedByTheNodesCallbackComesBackWithItsReason)
{
  auto node = spin_node();
  auto handle = node->add_on_set_parameters_callback(
    [](const std::vector<rclcpp::Parameter> & parameters) {
      rcl_interfaces::msg::SetParametersResult result;
      result.successful = true;
      for (const auto & parameter : parameters) {
        if (parameter.get_name() == "ultrasonic.hor_field_of_view") {
          result.set__successful(false).set__reason("the field of view is fixed by the sensor");
        }
      }
      return result;
    });
  RawServiceClient<SetParametersAtomically> set_atomically(
    service(node, "set_parameters_atomically"));
  ASSERT_TRUE(set_atomically.wait_for_service());

  // One refusal for the whole set, and the acceptable parameter stays unchanged.
  SetParametersAtomically::Request atomic_request;
  atomic_request.parameters = {
    double_parameter("ultrasonic.hor_range_max", 0.4),
    double_parameter("ultrasonic.hor_field_of_view", 1.0)};
  const auto atomic_reply = set_atomically.call(atomic_request);
  ASSERT_TRUE(atomic_reply);
  EXPECT_FALSE(atomic_reply->result.successful);
  EXPECT_EQ(atomic_reply->result.reason, "the field of view is fixed by the sensor");
  EXPECT_DOUBLE_EQ(node->get_parameter("ultrasonic.hor_range_max").as_double(), 0.5);
}

TEST_F(ParameterServicesTest, CallsRunInTheDefaultGroupNeverAlongsideItsOtherCallbacks)
{
  auto node = spin_node();
  std::atomic_int running{0};
  std::atomic_int overlaps{0};
  std::atomic_int messages{0};
  auto slow_callback = [&]() {
      overlaps += ++running > 1;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      --running;
    };
  auto subscription = node->create_subscription<std_msgs::msg::Header>(
    "/busy", rclcpp::QoS(100), [&](const std_msgs::msg::Header &) {
      slow_callback();
      ++messages;
    });
  auto handle = node->add_on_set_parameters_callback(
    [&](const std::vector<rclcpp::Parameter> &) {
      slow_callback();
      return rcl_interfaces::msg::SetParametersResult().set__successful(true);
    });
  auto publisher = node->create_publisher<std_msgs::msg::Header>("/busy", rclcpp::QoS(100));
  RawServiceClient<SetParameters> set(service(node, "set_parameters"));
  ASSERT_TRUE(set.wait_for_service());

  std::atomic_bool publishing{true};
  std::thread flood([&]() {
      while (publishing) {
        publisher->publish(std_msgs::msg::Header());
        std::this_thread::sleep_for(std::chrono::microseconds(500));
      }
    });
  for (int i = 0; i < 10; ++i) {
    SetParameters::Request request;
    request.parameters = {double_parameter("ultrasonic.hor_range_max", 0.1 * i)};
    const auto reply = set.call(request);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->results.at(0).successful);
  }
  publishing = false;
  flood.join();
  EXPECT_GT(messages.load(), 0);
  EXPECT_EQ(overlaps.load(), 0);
}

TEST_F(ParameterServicesTest, AMalformedRequestIsDroppedAndTheNextIsAnswered)
{
  auto node = spin_node();
  RawServiceClient<GetParameters> get(service(node, "get_parameters"));
  ASSERT_TRUE(get.wait_for_service());
  testing::internal::CaptureStderr();
  get.send_raw({0x00, 0x01, 0x00, 0x00, 1, 2, 3, 4});  // cut inside the request header
  // One name whose length claims more bytes than the sample has.
  get.send_raw(
    {
      0x00, 0x01, 0x00, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 1, 0, 0, 0, 0, 0, 0, 0,
      1, 0, 0, 0, 0xff, 0xff, 0, 0});
  GetParameters::Request request;
  request.names = {"ultrasonic.hor_range_max"};
  const auto reply = get.call(request);
  const std::string log = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->values.size(), 1u);
  EXPECT_DOUBLE_EQ(reply->values[0].double_value, 0.5);
  EXPECT_NE(
    log.find("dropped a malformed request of 8 bytes on " + service(node, "get_parameters")),
    std::string::npos) << log;
  EXPECT_NE(log.find("names[0]: string length 65535 exceeds"), std::string::npos) << log;
}

TEST_F(ParameterServicesTest, ANodeWithoutParameterServicesOffersNone)
{
  auto node = spin_node(rclcpp::NodeOptions().start_parameter_services(false));
  RawServiceClient<GetParameters> get(service(node, "get_parameters"));
  EXPECT_FALSE(get.wait_for_service(std::chrono::milliseconds(500)));
}

}  // namespace
