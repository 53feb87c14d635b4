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

#ifndef RCLCPP__DETAIL__DDS_DOMAIN_CONFIG_HPP_
#define RCLCPP__DETAIL__DDS_DOMAIN_CONFIG_HPP_

#include <cstdint>
#include <string>

namespace rclcpp
{
namespace detail
{

/// Which DDS domain the process joins and how Cyclone DDS is configured for it, read from the
/// variables a ROS 2 Humble process reads, with rmw_cyclonedds_cpp's rules.
struct DdsDomainConfig
{
  /// Cyclone's port mapping (7400 + 250 * id) leaves no room above this id.
  static constexpr uint32_t max_domain_id = 232;

  uint32_t domain_id = 0;
  bool localhost_only = false;
  /// The configuration handed to dds_create_domain: Cyclone's comma-separated list of XML
  /// fragments and file URIs, later entries overriding earlier ones.
  std::string cyclone_config;

  /// ROS_DOMAIN_ID (unset or empty: 0), ROS_LOCALHOST_ONLY ("1": loopback only) and
  /// CYCLONEDDS_URI. The domain id is read as rcl reads it; throws std::invalid_argument,
  /// naming the variable and its value, for one rcl refuses or one above max_domain_id.
  static DdsDomainConfig from_environment();

  /// The same rules applied to given values (nullptr: the variable is unset).
  static DdsDomainConfig from_values(
    const char * domain_id, const char * localhost_only, const char * cyclonedds_uri);
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__DDS_DOMAIN_CONFIG_HPP_
