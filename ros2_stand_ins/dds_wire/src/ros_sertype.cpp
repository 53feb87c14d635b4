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

#include "dds_wire/ros_sertype.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <string>

#include "dds/ddsc/dds_public_impl.h"
#include "dds_wire/cdr_serializer.hpp"
#include "dds_wire/ros_serdata.hpp"

namespace dds_wire
{

namespace
{

// Called from C inside Cyclone: no exception may leave these functions.

const rosidl_typesupport_introspection_cpp::MessageMembers & members_of(const ddsi_sertype * type)
{
  return RosSertype::from(type).message_type().members();
}

void free_sertype(ddsi_sertype * type)
{
  ddsi_sertype_fini(type);
  delete static_cast<RosSertype *>(type);
}

void zero_samples(const ddsi_sertype *, void *, size_t)
{
  // Only asked for to blank the key fields of invalid samples; a keyless type has none.
}

// Loaned sample arrays (dds_take with null buffers): `count` messages side by side in one
// malloc'd block. A loan carries nothing from one read to the next, so growing it starts afresh
// instead of relocating messages, which introspection gives no generic way to do.
void realloc_samples(
  void ** pointers, const ddsi_sertype * type, void * old, size_t old_count, size_t count)
{
  const auto & members = members_of(type);
  auto * old_block = static_cast<uint8_t *>(old);
  for (size_t i = 0; i < old_count; ++i) {
    members.fini_function(old_block + i * members.size_of_);
  }
  std::free(old);
  auto * block = static_cast<uint8_t *>(std::malloc(std::max<size_t>(count, 1) * members.size_of_));
  if (block == nullptr) {
    std::abort();  // Cyclone offers no way to report this
  }
  for (size_t i = 0; i < count; ++i) {
    members.init_function(
      block + i * members.size_of_, rosidl_runtime_cpp::MessageInitialization::ALL);
    pointers[i] = block + i * members.size_of_;
  }
}

void free_samples(const ddsi_sertype * type, void ** pointers, size_t count, dds_free_op_t op)
{
  const auto & members = members_of(type);
  if (op & DDS_FREE_CONTENTS_BIT) {
    for (size_t i = 0; i < count; ++i) {
      members.fini_function(pointers[i]);
      if (!(op & DDS_FREE_ALL_BIT)) {
        members.init_function(pointers[i], rosidl_runtime_cpp::MessageInitialization::ALL);
      }
    }
  }
  if (op & DDS_FREE_ALL_BIT) {
    std::free(pointers[0]);
  }
}

bool equal(const ddsi_sertype * a, const ddsi_sertype * b)
{
  return &members_of(a) == &members_of(b);
}

uint32_t hash(const ddsi_sertype * type)
{
  return static_cast<uint32_t>(std::hash<const void *>()(&members_of(type)));
}

size_t get_serialized_size(const ddsi_sertype * type, const void * sample)
{
  try {
    return RosSertype::from(type).serializer().serialized_size(sample);
  } catch (const std::exception &) {
    return SIZE_MAX;  // Cyclone's error value
  }
}

bool serialize_into(const ddsi_sertype * type, const void * sample, void * buffer, size_t size)
{
  try {
    RosSertype::from(type).serializer().serialize_into(
      sample, static_cast<uint8_t *>(buffer), size);
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

const ddsi_sertype_ops sertype_operations = [] {
    ddsi_sertype_ops ops{};
    ops.version = ddsi_sertype_v0;
    ops.free = free_sertype;
    ops.zero_samples = zero_samples;
    ops.realloc_samples = realloc_samples;
    ops.free_samples = free_samples;
    ops.equal = equal;
    ops.hash = hash;
    // No XTypes type information: like ROS 2 Humble's endpoints, matching is by type name.
    ops.get_serialized_size = get_serialized_size;
    ops.serialize_into = serialize_into;
    return ops;
  }();

}  // namespace

RosSertype::RosSertype(const rosidl_message_type_support_t * type_support)
: ddsi_sertype(), message_type_(type_support), serializer_(message_type_.type_support())
{
  ddsi_sertype_init_flags(
    this, message_type_.dds_type_name().c_str(), &sertype_operations,
    &RosSerdata::operations(), DDSI_SERTYPE_FLAG_TOPICKIND_NO_KEY);
  allowed_data_representation = DDS_DATA_REPRESENTATION_FLAG_XCDR1;
}

ddsi_sertype * RosSertype::create(const rosidl_message_type_support_t * type_support)
{
  return new RosSertype(type_support);
}

}  // namespace dds_wire
