// Copyright 2026 obsfeed developers. Apache-2.0.
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
