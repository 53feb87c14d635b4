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

// A Cyclone DDS participant of the test's own, standing in for another ROS 2 process: the
// transport ignores only endpoints of its own participant, so this one is "remote" to it.

#ifndef DDS_PEER_HPP_
#define DDS_PEER_HPP_

#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "dds/dds.h"
#include "dds/ddsi/ddsi_serdata.h"
#include "dds_wire/dds_names.hpp"
#include "dds_wire/qos_mapping.hpp"
#include "dds_wire/ros_serdata.hpp"
#include "dds_wire/ros_sertype.hpp"
#include "rclcpp/detail/dds_domain_config.hpp"
#include "rclcpp/executor.hpp"
#include "rosidl_typesupport_introspection_cpp/message_type_support_decl.hpp"
#include "runtime_test_support.hpp"

namespace test_support
{

class DdsPeer
{
public:
  /// Puts this process on a domain of its own, on loopback only, before anything joins one:
  /// parallel test runs (and a robot network) never hear each other.
  static void isolate_process()
  {
    const std::string domain_id = std::to_string(10u + static_cast<uint32_t>(getpid()) % 90u);
    setenv("ROS_DOMAIN_ID", domain_id.c_str(), 1);
    setenv("ROS_LOCALHOST_ONLY", "1", 1);
  }

  DdsPeer()
  {
    const auto config = rclcpp::detail::DdsDomainConfig::from_environment();
    // Whichever of us and the transport comes first configures the domain; both use the same.
    dds_create_domain(config.domain_id, config.cyclone_config.c_str());
    participant_ = dds_create_participant(config.domain_id, nullptr, nullptr);
    if (participant_ < 0) {
      throw std::runtime_error(std::string("peer participant: ") + dds_strretcode(participant_));
    }
  }

  ~DdsPeer()
  {
    // Only our participant: the domain is shared with the transport, which stays on it.
    dds_delete(participant_);
  }

  DdsPeer(const DdsPeer &) = delete;
  DdsPeer & operator=(const DdsPeer &) = delete;

  /// The topic a Humble process opens for ROS topic `ros_name` of type MessageT;
  /// `used_sertype` receives the sertype Cyclone keeps for it (to build raw samples).
  template<typename MessageT>
  dds_entity_t topic(const std::string & ros_name, ddsi_sertype ** used_sertype = nullptr)
  {
    return dds_topic<MessageT>(dds_wire::DdsNames::message_topic(ros_name), used_sertype);
  }

  /// A topic of MessageT under its DDS name (service and graph topics have no "rt/" prefix).
  template<typename MessageT>
  dds_entity_t dds_topic(const std::string & name, ddsi_sertype ** used_sertype = nullptr)
  {
    ddsi_sertype * sertype = dds_wire::RosSertype::create(
      rosidl_typesupport_introspection_cpp::get_message_type_support_handle<MessageT>());
    const dds_entity_t topic =
      dds_create_topic_sertype(participant_, name.c_str(), &sertype, nullptr, nullptr, nullptr);
    check(topic, "topic " + name);
    if (used_sertype != nullptr) {
      *used_sertype = sertype;
    }
    return topic;
  }

  dds_entity_t writer(dds_entity_t topic, const dds_wire::WireQos & qos = {})
  {
    return writer(topic, dds_wire::QosMapping::to_dds(qos).get());
  }

  dds_entity_t writer(dds_entity_t topic, const dds_qos_t * qos)
  {
    return check(dds_create_writer(participant_, topic, qos, nullptr), "writer");
  }

  dds_entity_t reader(dds_entity_t topic, const dds_wire::WireQos & qos = {})
  {
    return reader(topic, dds_wire::QosMapping::to_dds(qos).get());
  }

  dds_entity_t reader(dds_entity_t topic, const dds_qos_t * qos)
  {
    return check(dds_create_reader(participant_, topic, qos, nullptr), "reader");
  }

  /// Sends bytes as they are, header included, whatever they claim to be.
  static void write_raw(
    dds_entity_t writer, ddsi_sertype * sertype,
    const std::vector<uint8_t> & bytes)
  {
    ddsrt_iovec_t iov;
    iov.iov_base = const_cast<uint8_t *>(bytes.data());
    iov.iov_len = static_cast<ddsrt_iov_len_t>(bytes.size());
    ddsi_serdata * sample = ddsi_serdata_from_ser_iov(sertype, SDK_DATA, 1, &iov, bytes.size());
    check(dds_writecdr(writer, sample), "writecdr");  // takes over our reference
  }

  /// The next sample within five seconds, raw (the caller unrefs it); nullptr if none came.
  static ddsi_serdata * take_raw(dds_entity_t reader)
  {
    const dds_entity_t waitset = dds_create_waitset(dds_get_participant(reader));
    const dds_entity_t condition = dds_create_readcondition(reader, DDS_ANY_STATE);
    dds_waitset_attach(waitset, condition, 0);
    const bool arrived = dds_waitset_wait(waitset, nullptr, 0, DDS_SECS(5)) > 0;
    dds_delete(condition);
    dds_delete(waitset);
    ddsi_serdata * sample = nullptr;
    dds_sample_info_t info;
    return arrived && dds_takecdr(reader, &sample, 1, &info, DDS_ANY_STATE) == 1 ? sample : nullptr;
  }

  /// Takes one sample within five seconds and decodes it; false if none came or it was bad.
  template<typename MessageT>
  static bool take(dds_entity_t reader, MessageT & message)
  {
    ddsi_serdata * sample = take_raw(reader);
    if (sample == nullptr) {
      return false;
    }
    const bool decoded = dds_wire::RosSerdata::from(sample).deserialize(&message).ok;
    ddsi_serdata_unref(sample);
    return decoded;
  }

  /// Discovery is asynchronous: waits (five seconds at most) until `condition` holds.
  static bool eventually(
    const std::function<bool()> & condition,
    std::chrono::milliseconds timeout = std::chrono::seconds(5))
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

private:
  static dds_entity_t check(dds_entity_t result, const std::string & what)
  {
    if (result < 0) {
      throw std::runtime_error(what + ": " + dds_strretcode(result));
    }
    return result;
  }

  dds_entity_t participant_ = 0;
};

/// Base of the fixtures whose test suite talks to the process's transport through one peer,
/// on a domain of the process's own. Each test gets a context of its own, shut down when the
/// test ends, which also ends the spin a test started in the background.
class DdsPeerTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    DdsPeer::isolate_process();
    peer_ = new DdsPeer();
  }

  static void TearDownTestSuite()
  {
    delete peer_;
    peer_ = nullptr;
  }

  void SetUp() override {context_ = make_context();}

  void TearDown() override
  {
    context_->shutdown("test done");
    if (spinner_.joinable()) {
      spinner_.join();
    }
  }

  /// spin() on its own thread: it must wake for DDS samples without any polling.
  void spin_in_background()
  {
    spinner_ = std::thread([this]() {executor_->spin();});
  }

  static inline DdsPeer * peer_ = nullptr;
  rclcpp::Context::SharedPtr context_;
  std::unique_ptr<rclcpp::Executor> executor_;
  std::thread spinner_;
};

}  // namespace test_support

#endif  // DDS_PEER_HPP_
