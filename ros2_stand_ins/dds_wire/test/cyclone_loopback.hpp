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

// Test helper: a Cyclone DDS participant on a domain of its own, on loopback only, so tests
// running in parallel (or a robot network on the same host) never hear each other.
#ifndef CYCLONE_LOOPBACK_HPP_
#define CYCLONE_LOOPBACK_HPP_

#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "dds/dds.h"

namespace dds_wire_test
{

class CycloneLoopback
{
public:
  /// A domain id derived from the process id, so concurrently running tests differ.
  static uint32_t unique_domain_id() {return 100u + static_cast<uint32_t>(getpid()) % 100u;}

  explicit CycloneLoopback(uint32_t domain_id = unique_domain_id())
  {
    const std::string config =
      "<CycloneDDS><Domain Id=\"any\">"
      "<General><Interfaces><NetworkInterface name=\"lo\"/></Interfaces>"
      "<AllowMulticast>false</AllowMulticast></General>"
      "<Discovery><ParticipantIndex>auto</ParticipantIndex>"
      "<Peers><Peer Address=\"127.0.0.1\"/></Peers></Discovery>"
      "</Domain></CycloneDDS>";
    domain_ = dds_create_domain(domain_id, config.c_str());
    participant_ = dds_create_participant(domain_id, nullptr, nullptr);
    if (domain_ < 0 || participant_ < 0) {
      throw std::runtime_error(std::string("no participant: ") + dds_strretcode(participant_));
    }
  }

  ~CycloneLoopback()
  {
    dds_delete(domain_);  // takes the participant and everything below it along
  }

  CycloneLoopback(const CycloneLoopback &) = delete;
  CycloneLoopback & operator=(const CycloneLoopback &) = delete;

  dds_entity_t participant() const {return participant_;}

  /// Reliable keep-all QoS, so nothing a test writes can be dropped before it is taken.
  static dds_qos_t * reliable_qos()
  {
    dds_qos_t * qos = dds_create_qos();
    dds_qset_reliability(qos, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
    dds_qset_history(qos, DDS_HISTORY_KEEP_ALL, 0);
    return qos;
  }

  /// Blocks until `reader` has data (true) or five seconds passed (false).
  static bool wait_for_data(dds_entity_t reader)
  {
    const dds_entity_t waitset = dds_create_waitset(dds_get_participant(reader));
    const dds_entity_t condition = dds_create_readcondition(reader, DDS_ANY_STATE);
    dds_waitset_attach(waitset, condition, 0);
    const dds_return_t triggered = dds_waitset_wait(waitset, nullptr, 0, DDS_SECS(5));
    dds_delete(condition);
    dds_delete(waitset);
    return triggered > 0;
  }

private:
  dds_entity_t domain_ = 0;
  dds_entity_t participant_ = 0;
};

}  // namespace dds_wire_test

#endif  // CYCLONE_LOOPBACK_HPP_
