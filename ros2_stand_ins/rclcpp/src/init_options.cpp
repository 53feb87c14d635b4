// Copyright 2026 obsfeed developers. Apache-2.0.
#include "rclcpp/init_options.hpp"

#include <cstdlib>
#include <string>

#include "rcutils/env.h"

namespace rclcpp
{

InitOptions::InitOptions(rcl_allocator_t allocator)
: allocator_(allocator)
{}

bool
InitOptions::auto_initialize_logging() const
{
  return initialize_logging_;
}

InitOptions &
InitOptions::auto_initialize_logging(bool initialize_logging)
{
  initialize_logging_ = initialize_logging;
  return *this;
}

void
InitOptions::use_default_domain_id()
{
  use_default_domain_id_ = true;
}

void
InitOptions::set_domain_id(size_t domain_id)
{
  use_default_domain_id_ = false;
  domain_id_ = domain_id;
}

size_t
InitOptions::get_domain_id() const
{
  if (!use_default_domain_id_) {
    return domain_id_;
  }
  // Same source rcl uses; an unset or unreadable variable means domain 0.
  const char * env_value = nullptr;
  if (rcutils_get_env("ROS_DOMAIN_ID", &env_value) != nullptr || env_value == nullptr ||
    *env_value == '\0')
  {
    return 0;
  }
  char * end = nullptr;
  unsigned long parsed = std::strtoul(env_value, &end, 10);  // NOLINT(runtime/int)
  return (end != nullptr && *end == '\0') ? static_cast<size_t>(parsed) : 0;
}

const rcl_allocator_t &
InitOptions::get_allocator() const
{
  return allocator_;
}

}  // namespace rclcpp
