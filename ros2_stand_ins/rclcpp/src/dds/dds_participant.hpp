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

#ifndef DDS__DDS_PARTICIPANT_HPP_
#define DDS__DDS_PARTICIPANT_HPP_

#include <memory>

#include "dds/dds.h"
#include "dds_graph_info.hpp"
#include "rclcpp/detail/dds_domain_config.hpp"

namespace rclcpp
{
namespace detail
{

/// The process's one DDS domain participant, as rmw_cyclonedds_cpp has one per context.
class DdsParticipant
{
public:
  /// Throws std::runtime_error with Cyclone's reason when the domain or participant cannot be
  /// created (a broken CYCLONEDDS_URI, no usable interface, no free port).
  explicit DdsParticipant(const DdsDomainConfig & config);
  /// Deletes the participant and, with it, every topic, reader and writer still open.
  ~DdsParticipant();

  DdsParticipant(const DdsParticipant &) = delete;
  DdsParticipant & operator=(const DdsParticipant &) = delete;

  dds_entity_t handle() const {return participant_;}
  uint32_t domain_id() const {return domain_id_;}
  /// Which of our readers and writers belong to which node, for the ROS graph.
  DdsGraphInfo & graph_info() {return *graph_info_;}

private:
  uint32_t domain_id_;
  dds_entity_t domain_ = 0;
  dds_entity_t participant_ = 0;
  std::shared_ptr<DdsGraphInfo> graph_info_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // DDS__DDS_PARTICIPANT_HPP_
