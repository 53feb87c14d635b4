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

#include "rclcpp/detail/dds_domain_config.hpp"

#include <cerrno>
#include <climits>
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

// Read as rcl reads it, so that a value means the same domain here as to every Humble node
// given it: strtoul in base 0 ("010" is 8, "0x10" is 16, trailing text after a non-zero number
// ignored), "-1" wrapping to rmw's "default domain", which is 0. Beyond that, the highest
// domain Cyclone's port mapping allows.
uint32_t parse_domain_id(const char * text)
{
  if (text == nullptr || *text == '\0') {
    return 0;
  }
  const std::string value(text);
  errno = 0;
  char * end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 0);  // NOLINT(runtime/int)
  if (number == 0UL && *end != '\0') {
    throw std::invalid_argument("ROS_DOMAIN_ID is not an integral number: \"" + value + "\"");
  }
  if (number == ULONG_MAX && errno == ERANGE) {
    throw std::invalid_argument("ROS_DOMAIN_ID is out of range: \"" + value + "\"");
  }
  if (number == ULONG_MAX) {
    return 0;
  }
  if (number > DdsDomainConfig::max_domain_id) {
    throw std::invalid_argument(
            "ROS_DOMAIN_ID is \"" + value + "\": domain " + std::to_string(number) +
            " is beyond " + std::to_string(DdsDomainConfig::max_domain_id) +
            ", the highest Cyclone DDS can map to ports");
  }
  return static_cast<uint32_t>(number);
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
