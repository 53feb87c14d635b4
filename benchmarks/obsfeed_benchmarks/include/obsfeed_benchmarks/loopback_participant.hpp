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

#ifndef OBSFEED_BENCHMARKS__LOOPBACK_PARTICIPANT_HPP_
#define OBSFEED_BENCHMARKS__LOOPBACK_PARTICIPANT_HPP_

#include <cstdint>

#include "dds/dds.h"

namespace obsfeed_benchmarks
{

/// A Cyclone DDS participant on loopback only, as a ROS 2 process started with
/// ROS_LOCALHOST_ONLY=1 has, so it meets the node under test and nothing on the host's network.
class LoopbackParticipant
{
public:
  /// Throws std::runtime_error with Cyclone's reason if the domain cannot be joined.
  explicit LoopbackParticipant(uint32_t domain_id);
  /// Leaves the domain, deleting every entity created under the participant.
  ~LoopbackParticipant();

  LoopbackParticipant(const LoopbackParticipant &) = delete;
  LoopbackParticipant & operator=(const LoopbackParticipant &) = delete;

  dds_entity_t handle() const {return participant_;}

  /// `entity` unless it is a Cyclone error code, which becomes std::runtime_error naming `what`.
  static dds_entity_t checked(dds_entity_t entity, const char * what);

private:
  dds_entity_t domain_ = 0;
  dds_entity_t participant_ = 0;
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__LOOPBACK_PARTICIPANT_HPP_
