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

#include "rclcpp/init_options.hpp"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "rcl/types.h"
#include "rcutils/env.h"
#include "rcutils/error_handling.h"
#include "rclcpp/exceptions.hpp"

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
  domain_id_ = SIZE_MAX;
  const char * env_value = nullptr;
  if (rcutils_get_env("ROS_DOMAIN_ID", &env_value) != nullptr || env_value == nullptr ||
    *env_value == '\0')
  {
    return;
  }
  char * end = nullptr;
  const unsigned long number = std::strtoul(env_value, &end, 0);  // NOLINT(runtime/int)
  if (number == 0UL && *end != '\0') {
    RCUTILS_SET_ERROR_MSG("ROS_DOMAIN_ID is not an integral number");
    exceptions::throw_from_rcl_error(RCL_RET_ERROR, "failed to get default domain id");
  }
  domain_id_ = static_cast<size_t>(number);
}

void
InitOptions::set_domain_id(size_t domain_id)
{
  domain_id_ = domain_id;
}

size_t
InitOptions::get_domain_id() const
{
  return domain_id_;
}

const rcl_allocator_t &
InitOptions::get_allocator() const
{
  return allocator_;
}

}  // namespace rclcpp
