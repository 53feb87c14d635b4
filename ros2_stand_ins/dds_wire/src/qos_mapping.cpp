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

#include "dds_wire/qos_mapping.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace dds_wire
{

QosMapping::DdsQosPtr QosMapping::to_dds(const WireQos & qos)
{
  DdsQosPtr dds_qos(dds_create_qos(), dds_delete_qos);
  dds_qos_t * raw = dds_qos.get();

  if (qos.history == WireQos::History::KeepAll) {
    dds_qset_history(raw, DDS_HISTORY_KEEP_ALL, DDS_LENGTH_UNLIMITED);
  } else {
    const size_t depth =
      std::clamp<size_t>(qos.depth, 1, static_cast<size_t>(std::numeric_limits<int32_t>::max()));
    dds_qset_history(raw, DDS_HISTORY_KEEP_LAST, static_cast<int32_t>(depth));
  }

  if (qos.reliability == WireQos::Reliability::Reliable) {
    dds_qset_reliability(raw, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
  } else {
    dds_qset_reliability(raw, DDS_RELIABILITY_BEST_EFFORT, 0);
  }

  dds_qset_durability(
    raw, qos.durability == WireQos::Durability::TransientLocal ?
    DDS_DURABILITY_TRANSIENT_LOCAL : DDS_DURABILITY_VOLATILE);

  if (qos.deadline_ns != 0) {
    dds_qset_deadline(raw, qos.deadline_ns);
  }
  if (qos.lifespan_ns != 0) {
    dds_qset_lifespan(raw, qos.lifespan_ns);
  }
  dds_qset_liveliness(
    raw, qos.liveliness == WireQos::Liveliness::ManualByTopic ?
    DDS_LIVELINESS_MANUAL_BY_TOPIC : DDS_LIVELINESS_AUTOMATIC,
    qos.liveliness_lease_duration_ns != 0 ? qos.liveliness_lease_duration_ns : DDS_INFINITY);

  dds_qset_writer_data_lifecycle(raw, false);
  const dds_data_representation_id_t classic_cdr = DDS_DATA_REPRESENTATION_XCDR1;
  dds_qset_data_representation(raw, 1, &classic_cdr);
  return dds_qos;
}

}  // namespace dds_wire
