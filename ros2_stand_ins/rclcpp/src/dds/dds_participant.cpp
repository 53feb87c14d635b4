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

#include "dds_participant.hpp"

#include <stdexcept>
#include <string>

namespace rclcpp
{
namespace detail
{

DdsParticipant::DdsParticipant(const DdsDomainConfig & config)
: domain_id_(config.domain_id)
{
  // The domain may already exist if something else in the process opened it first (a test's
  // own Cyclone peer); its configuration then stands, as with rmw_cyclonedds.
  const dds_entity_t domain = dds_create_domain(domain_id_, config.cyclone_config.c_str());
  if (domain < 0 && domain != DDS_RETCODE_PRECONDITION_NOT_MET) {
    throw std::runtime_error(
            "cannot create DDS domain " + std::to_string(domain_id_) + " (configuration \"" +
            config.cyclone_config + "\"): " + dds_strretcode(domain));
  }
  domain_ = domain > 0 ? domain : 0;
  // USER_DATA as Humble's participants carry it, so DDS tools show which enclave we belong to.
  dds_qos_t * qos = dds_create_qos();
  static constexpr char enclave[] = "enclave=/;";
  dds_qset_userdata(qos, enclave, sizeof(enclave) - 1);
  participant_ = dds_create_participant(domain_id_, qos, nullptr);
  dds_delete_qos(qos);
  if (participant_ < 0) {
    const dds_return_t error = participant_;
    if (domain_ > 0) {
      dds_delete(domain_);
    }
    throw std::runtime_error(
            "cannot create a DDS participant on domain " + std::to_string(domain_id_) + ": " +
            dds_strretcode(error));
  }
  try {
    graph_info_ = std::make_shared<DdsGraphInfo>(participant_);
  } catch (...) {
    dds_delete(domain_ > 0 ? domain_ : participant_);
    throw;
  }
}

DdsParticipant::~DdsParticipant()
{
  // Nodes and endpoints may outlive us and still hold their entries: they just stop being sent.
  graph_info_->close();
  // A domain we created takes its participant along; otherwise only ours goes.
  dds_delete(domain_ > 0 ? domain_ : participant_);
}

}  // namespace detail
}  // namespace rclcpp
