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

#ifndef RCL__TYPES_H_
#define RCL__TYPES_H_

// The return codes rclcpp's exceptions carry; values as rcl defines them so that
// code comparing RCLErrorBase::ret against these constants behaves the same.
#include <stdint.h>

#include "rcutils/error_handling.h"

typedef int32_t rcl_ret_t;
typedef rcutils_error_state_t rcl_error_state_t;

#define RCL_RET_OK 0
#define RCL_RET_ERROR 1
#define RCL_RET_TIMEOUT 2
#define RCL_RET_UNSUPPORTED 3
#define RCL_RET_BAD_ALLOC 10
#define RCL_RET_INVALID_ARGUMENT 11
#define RCL_RET_ALREADY_INIT 100
#define RCL_RET_NOT_INIT 101
#define RCL_RET_MISMATCHED_RMW_ID 102
#define RCL_RET_TOPIC_NAME_INVALID 103
#define RCL_RET_SERVICE_NAME_INVALID 104
#define RCL_RET_UNKNOWN_SUBSTITUTION 105
#define RCL_RET_ALREADY_SHUTDOWN 106
#define RCL_RET_NODE_INVALID 200
#define RCL_RET_NODE_INVALID_NAME 201
#define RCL_RET_NODE_INVALID_NAMESPACE 202
#define RCL_RET_INVALID_REMAP_RULE 1001
#define RCL_RET_WRONG_LEXEME 1002
#define RCL_RET_INVALID_ROS_ARGS 1003
#define RCL_RET_INVALID_PARAM_RULE 1010
#define RCL_RET_INVALID_LOG_LEVEL_RULE 1020

#endif  // RCL__TYPES_H_
