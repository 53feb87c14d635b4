// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef RCLCPP__SRC__DDS__DDS_PARTICIPANT_HPP_
#define RCLCPP__SRC__DDS__DDS_PARTICIPANT_HPP_

#include "dds/dds.h"
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

private:
  uint32_t domain_id_;
  dds_entity_t domain_ = 0;
  dds_entity_t participant_ = 0;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__SRC__DDS__DDS_PARTICIPANT_HPP_
