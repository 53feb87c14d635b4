// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "rclcpp/detail/dds_domain_config.hpp"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace rclcpp
{
namespace detail
{
namespace
{

// What rmw_cyclonedds_cpp prepends for ROS_LOCALHOST_ONLY=1: the loopback address and nothing
// else. Loopback lacks the MULTICAST flag, so Cyclone then discovers peers by unicast to the
// participant ports on this host; forcing multicast on here would leave us deaf to Humble
// processes (and them to us), which never send discovery to the multicast group.
constexpr char localhost_only_fragment[] =
  "<CycloneDDS><Domain><General><Interfaces>"
  "<NetworkInterface address=\"127.0.0.1\"/>"
  "</Interfaces></General></Domain></CycloneDDS>";

uint32_t parse_domain_id(const char * text)
{
  if (text == nullptr || *text == '\0') {
    return 0;
  }
  const std::string value(text);
  // strtoul alone would accept " 5", "+5", "-1" (as a huge number) and "5abc".
  const bool digits_only = value.find_first_not_of("0123456789") == std::string::npos;
  if (digits_only && value.size() <= 3) {
    const auto id = std::strtoul(value.c_str(), nullptr, 10);
    if (id <= DdsDomainConfig::max_domain_id) {
      return static_cast<uint32_t>(id);
    }
  }
  throw std::invalid_argument(
          "ROS_DOMAIN_ID is \"" + value + "\": expected a whole number from 0 to " +
          std::to_string(DdsDomainConfig::max_domain_id) + ", or unset for 0");
}

}  // namespace

DdsDomainConfig DdsDomainConfig::from_environment()
{
  return from_values(
    std::getenv("ROS_DOMAIN_ID"), std::getenv("ROS_LOCALHOST_ONLY"), std::getenv("CYCLONEDDS_URI"));
}

DdsDomainConfig DdsDomainConfig::from_values(
  const char * domain_id, const char * localhost_only, const char * cyclonedds_uri)
{
  DdsDomainConfig config;
  config.domain_id = parse_domain_id(domain_id);
  config.localhost_only = localhost_only != nullptr && std::string(localhost_only) == "1";
  // As in Humble: the loopback fragment comes first, so a CYCLONEDDS_URI that names its own
  // interfaces deliberately wins over the general switch.
  if (config.localhost_only) {
    config.cyclone_config = localhost_only_fragment;
  }
  if (cyclonedds_uri != nullptr && *cyclonedds_uri != '\0') {
    if (!config.cyclone_config.empty()) {
      config.cyclone_config += ",";
    }
    config.cyclone_config += cyclonedds_uri;
  }
  return config;
}

}  // namespace detail
}  // namespace rclcpp
