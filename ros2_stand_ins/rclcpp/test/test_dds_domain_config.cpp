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

// Which domain the process joins, and how Cyclone is told about loopback and the user's file.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/detail/dds_domain_config.hpp"
#include "runtime_test_support.hpp"

namespace
{

using rclcpp::detail::DdsDomainConfig;

// The same text must name the same domain as for a Humble node, rcl's quirks included.
TEST(DdsDomainConfigTest, DomainIdIsReadAsRclReadsItUpTo232)
{
  const std::vector<std::pair<const char *, uint32_t>> accepted{
    {nullptr, 0}, {"", 0}, {"0", 0}, {"42", 42}, {"232", 232}, {"007", 7}, {"010", 8},
    {"0x10", 16}, {" 5", 5}, {"+5", 5}, {"5 ", 5}, {"5x", 5}, {"-1", 0}};
  for (const auto & [text, domain] : accepted) {
    EXPECT_EQ(DdsDomainConfig::from_values(text, nullptr, nullptr).domain_id, domain)
      << (text ? text : "unset");
  }
  const std::vector<std::pair<const char *, const char *>> refused{
    {"abc", "ROS_DOMAIN_ID is not an integral number: \"abc\""},
    {"08", "ROS_DOMAIN_ID is not an integral number: \"08\""},
    {"99999999999999999999999", "ROS_DOMAIN_ID is out of range: \"99999999999999999999999\""},
    {"233", "ROS_DOMAIN_ID is \"233\": domain 233 is beyond 232, the highest Cyclone DDS can map "
      "to ports"},
    {"4294967296", "ROS_DOMAIN_ID is \"4294967296\": domain 4294967296 is beyond 232, the "
      "highest Cyclone DDS can map to ports"}};
  for (const auto & [text, message] : refused) {
    EXPECT_EQ(
      test_support::what_of<std::invalid_argument>(
        [text = text]() {DdsDomainConfig::from_values(text, nullptr, nullptr);}),
      message);
  }
}

TEST(DdsDomainConfigTest, LocalhostOnlyPutsLoopbackFirstAndTheUsersConfigurationAfter)
{
  const auto plain = DdsDomainConfig::from_values(nullptr, nullptr, nullptr);
  EXPECT_FALSE(plain.localhost_only);
  EXPECT_EQ(plain.cyclone_config, "");

  // Only "1" switches it on, as in Humble.
  for (const char * not_one : {"0", "true", "yes", ""}) {
    EXPECT_FALSE(DdsDomainConfig::from_values(nullptr, not_one, nullptr).localhost_only) << not_one;
  }

  // Humble's fragment exactly: with multicast forced on, Humble peers (which discover by
  // unicast on loopback) and this process never saw each other.
  const auto loopback = DdsDomainConfig::from_values(nullptr, "1", nullptr);
  EXPECT_TRUE(loopback.localhost_only);
  EXPECT_EQ(
    loopback.cyclone_config,
    "<CycloneDDS><Domain><General><Interfaces><NetworkInterface address=\"127.0.0.1\"/>"
    "</Interfaces></General></Domain></CycloneDDS>");

  const auto user_only = DdsDomainConfig::from_values(nullptr, nullptr, "file:///etc/cyclone.xml");
  EXPECT_EQ(user_only.cyclone_config, "file:///etc/cyclone.xml");

  // Cyclone applies the list in order, so the user's own settings override the loopback ones.
  const auto both = DdsDomainConfig::from_values(nullptr, "1", "file:///etc/cyclone.xml");
  EXPECT_EQ(both.cyclone_config, loopback.cyclone_config + ",file:///etc/cyclone.xml");
}

}  // namespace
