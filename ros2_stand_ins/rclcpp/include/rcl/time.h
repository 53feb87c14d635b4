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

// The few C-level time definitions that Humble code reaches through rclcpp:
// clock types, time point and duration values, and the unit conversion macros.

#ifndef RCL__TIME_H_
#define RCL__TIME_H_

#include <stdint.h>

#include "rcutils/time.h"

#ifdef __cplusplus
extern "C"
{
#endif

#define RCL_S_TO_NS RCUTILS_S_TO_NS
#define RCL_MS_TO_NS RCUTILS_MS_TO_NS
#define RCL_US_TO_NS RCUTILS_US_TO_NS
#define RCL_NS_TO_S RCUTILS_NS_TO_S
#define RCL_NS_TO_MS RCUTILS_NS_TO_MS
#define RCL_NS_TO_US RCUTILS_NS_TO_US

/// A single point in time, in nanoseconds since the clock's epoch.
typedef rcutils_time_point_value_t rcl_time_point_value_t;
/// A span of time, in nanoseconds.
typedef rcutils_duration_value_t rcl_duration_value_t;

/// Which clock a time value was read from; values of different clocks do not mix.
typedef enum rcl_clock_type_e
{
  RCL_CLOCK_UNINITIALIZED = 0,
  RCL_ROS_TIME,
  RCL_SYSTEM_TIME,
  RCL_STEADY_TIME
} rcl_clock_type_t;

typedef struct rcl_duration_s
{
  rcl_duration_value_t nanoseconds;
} rcl_duration_t;

typedef struct rcl_time_point_s
{
  rcl_time_point_value_t nanoseconds;
  rcl_clock_type_t clock_type;
} rcl_time_point_t;

#ifdef __cplusplus
}
#endif

#endif  // RCL__TIME_H_
