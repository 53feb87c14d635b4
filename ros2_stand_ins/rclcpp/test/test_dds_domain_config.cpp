// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

// Which domain the process joins, and how Cyclone is told about loopback and the user's file.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "rclcpp/detail/dds_domain_config.hpp"

namespace
{

using rclcpp::detail::DdsDomainConfig;

TEST(DdsDomainConfigTest, DomainIdIsAWholeNumberUpTo232AndDefaultsToZero)
{
  EXPECT_EQ(DdsDomainConfig::from_values(nullptr, nullptr, nullptr).domain_id, 0u);
  EXPECT_EQ(DdsDomainConfig::from_values("", nullptr, nullptr).domain_id, 0u);
  EXPECT_EQ(DdsDomainConfig::from_values("0", nullptr, nullptr).domain_id, 0u);
  EXPECT_EQ(DdsDomainConfig::from_values("42", nullptr, nullptr).domain_id, 42u);
  EXPECT_EQ(DdsDomainConfig::from_values("232", nullptr, nullptr).domain_id, 232u);
  EXPECT_EQ(DdsDomainConfig::from_values("007", nullptr, nullptr).domain_id, 7u);

  for (const char * bad : {"233", "-1", " 5", "5 ", "+5", "5x", "abc", "4294967296", "0x10"}) {
    SCOPED_TRACE(bad);
    try {
      DdsDomainConfig::from_values(bad, nullptr, nullptr);
      ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument & error) {
      EXPECT_EQ(
        std::string(error.what()),
        "ROS_DOMAIN_ID is \"" + std::string(bad) +
        "\": expected a whole number from 0 to 232, or unset for 0");
    }
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
