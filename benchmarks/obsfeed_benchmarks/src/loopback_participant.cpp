// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#include "obsfeed_benchmarks/loopback_participant.hpp"

#include <stdexcept>
#include <string>

namespace obsfeed_benchmarks
{

LoopbackParticipant::LoopbackParticipant(uint32_t domain_id)
{
  // Loopback lacks the MULTICAST flag; forcing it on lets participant discovery reach ROS 2
  // processes on this host, which announce themselves by multicast on lo.
  domain_ = checked(
    dds_create_domain(
      domain_id,
      "<CycloneDDS><Domain><General><Interfaces>"
      "<NetworkInterface address=\"127.0.0.1\" multicast=\"true\"/>"
      "</Interfaces></General></Domain></CycloneDDS>"),
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
