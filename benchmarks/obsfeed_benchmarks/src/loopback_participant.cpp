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

#include "obsfeed_benchmarks/loopback_participant.hpp"

#include <stdexcept>
#include <string>

namespace obsfeed_benchmarks
{

LoopbackParticipant::LoopbackParticipant(uint32_t domain_id)
{
  // Loopback only, as ROS_LOCALHOST_ONLY=1 configures a ROS 2 process, and found both ways a
  // peer there may look: by multicast on lo (which lacks the flag, so it is forced on) and by
  // unicast to the well-known ports of participant indices on 127.0.0.1, which is what Cyclone
  // falls back to for a process whose loopback interface is not multicast-capable.
  domain_ = checked(
    dds_create_domain(
      domain_id,
      "<CycloneDDS><Domain><General><Interfaces>"
      "<NetworkInterface address=\"127.0.0.1\" multicast=\"true\"/>"
      "</Interfaces></General><Discovery><ParticipantIndex>auto</ParticipantIndex>"
      "<Peers><Peer Address=\"127.0.0.1\"/></Peers></Discovery></Domain></CycloneDDS>"),
    "DDS domain");
  participant_ = dds_create_participant(domain_id, nullptr, nullptr);
  if (participant_ < 0) {
    dds_delete(domain_);
    checked(participant_, "DDS participant");
  }
}

LoopbackParticipant::~LoopbackParticipant()
{
  dds_delete(domain_);
}

dds_entity_t LoopbackParticipant::checked(dds_entity_t entity, const char * what)
{
  if (entity < 0) {
    throw std::runtime_error(std::string("cannot create ") + what + ": " + dds_strretcode(entity));
  }
  return entity;
}

}  // namespace obsfeed_benchmarks
