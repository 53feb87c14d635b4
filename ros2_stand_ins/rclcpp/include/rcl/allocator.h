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

#ifndef RCL__ALLOCATOR_H_
#define RCL__ALLOCATOR_H_

// rcl's allocator is rcutils' allocator under another name; code written against Humble
// spells it rcl_allocator_t / rcl_get_default_allocator().
#include "rcutils/allocator.h"

typedef rcutils_allocator_t rcl_allocator_t;

#define rcl_get_default_allocator rcutils_get_default_allocator
#define rcl_get_zero_initialized_allocator rcutils_get_zero_initialized_allocator
#define rcl_allocator_is_valid rcutils_allocator_is_valid

#endif  // RCL__ALLOCATOR_H_
