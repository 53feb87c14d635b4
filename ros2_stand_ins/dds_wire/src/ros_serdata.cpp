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

#include "dds_wire/ros_serdata.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "dds/ddsi/q_radmin.h"
#include "dds_wire/cdr_serializer.hpp"
#include "dds_wire/ros_sertype.hpp"

namespace dds_wire
{

namespace
{

// Everything below is called from C inside Cyclone: no exception may leave these functions.

size_t padded_to_4(size_t size)
{
  return (size + 3) & ~size_t{3};
}

bool eqkey(const ddsi_serdata *, const ddsi_serdata *)
{
  return true;  // keyless: every sample belongs to the one instance
}

uint32_t get_size(const ddsi_serdata * serdata)
{
  return static_cast<uint32_t>(RosSerdata::from(serdata).size());
}

ddsi_serdata * from_ser(
  const ddsi_sertype * type, ddsi_serdata_kind kind, const nn_rdata * fragment, size_t size)
{
  RosSerdata * serdata = RosSerdata::create(type, kind, size);
  if (serdata == nullptr) {
    return nullptr;
  }
  // Fragments arrive in order but may overlap; copy each byte range once.
  uint8_t * destination = serdata->mutable_data();
  uint32_t offset = 0;
  for (; fragment != nullptr && offset < size; fragment = fragment->nextfrag) {
    if (fragment->maxp1 <= offset) {
      continue;
    }
    const unsigned char * payload =
      NN_RMSG_PAYLOADOFF(fragment->rmsg, NN_RDATA_PAYLOAD_OFF(fragment));
    const uint32_t end = std::min<uint32_t>(fragment->maxp1, static_cast<uint32_t>(size));
    std::memcpy(destination + offset, payload + (offset - fragment->min), end - offset);
    offset = end;
  }
  std::memset(destination + offset, 0, size - offset);  // never left unset, even if short
  return serdata;
}

ddsi_serdata * from_ser_iov(
  const ddsi_sertype * type, ddsi_serdata_kind kind, ddsrt_msg_iovlen_t iov_count,
  const ddsrt_iovec_t * iov, size_t size)
{
  RosSerdata * serdata = RosSerdata::create(type, kind, size);
  if (serdata == nullptr) {
    return nullptr;
  }
  size_t offset = 0;
  for (ddsrt_msg_iovlen_t i = 0; i < iov_count && offset < size; ++i) {
    const size_t length = std::min<size_t>(iov[i].iov_len, size - offset);
    std::memcpy(serdata->mutable_data() + offset, iov[i].iov_base, length);
    offset += length;
  }
  std::memset(serdata->mutable_data() + offset, 0, size - offset);
  return serdata;
}

ddsi_serdata * from_keyhash(const ddsi_sertype * type, const ddsi_keyhash *)
{
  return RosSerdata::create(type, SDK_KEY, 0);  // keyless: the key is empty
}

ddsi_serdata * from_sample(const ddsi_sertype * type, ddsi_serdata_kind kind, const void * sample)
{
  if (kind != SDK_DATA) {
    return RosSerdata::create(type, kind, 0);
  }
  try {
    // One pass into a buffer that each writing thread keeps, then one copy into the sample:
    // cheaper than walking the message twice, once to size the sample and once to fill it.
    thread_local std::vector<uint8_t> buffer;
    const size_t size = RosSertype::from(type).serializer().serialize_into(sample, buffer);
    return RosSerdata::create_padded(type, buffer.data(), size);
  } catch (const std::exception &) {
    return nullptr;  // dds_write reports the failure to the caller
  }
}

ddsi_serdata * to_untyped(const ddsi_serdata * serdata)
{
  // Untyped serdata only carry the key, which a keyless topic does not have.
  return RosSerdata::create(serdata->type, SDK_KEY, 0);
}

void to_ser(const ddsi_serdata * serdata, size_t offset, size_t length, void * buffer)
{
  const RosSerdata & self = RosSerdata::from(serdata);
  const size_t available = offset < self.size() ? self.size() - offset : 0;
  const size_t copied = std::min(length, available);
  std::memcpy(buffer, self.data() + offset, copied);
  std::memset(static_cast<uint8_t *>(buffer) + copied, 0, length - copied);
}

ddsi_serdata * to_ser_ref(
  const ddsi_serdata * serdata, size_t offset, size_t length, ddsrt_iovec_t * reference)
{
  const RosSerdata & self = RosSerdata::from(serdata);
  reference->iov_base = const_cast<uint8_t *>(self.data()) + offset;
  reference->iov_len = static_cast<ddsrt_iov_len_t>(length);
  return ddsi_serdata_ref(serdata);
}

void to_ser_unref(ddsi_serdata * serdata, const ddsrt_iovec_t *)
{
  ddsi_serdata_unref(serdata);
}

bool to_sample(const ddsi_serdata * serdata, void * sample, void **, void *)
{
  if (serdata->kind != SDK_DATA) {
    return true;  // nothing but a key, and there is none
  }
  try {
    return RosSerdata::from(serdata).deserialize(sample).ok;
  } catch (const std::exception &) {
    return false;
  }
}

bool untyped_to_sample(const ddsi_sertype *, const ddsi_serdata *, void *, void **, void *)
{
  return true;
}

void free_serdata(ddsi_serdata * serdata)
{
  RosSerdata::destroy(static_cast<RosSerdata *>(serdata));
}

size_t print(const ddsi_sertype * type, const ddsi_serdata * serdata, char * buffer, size_t size)
{
  const std::string name = RosSertype::from(type).message_type().ros_type_name();
  const int printed = std::snprintf(
    buffer, size, "%s sample of %zu bytes", name.c_str(), RosSerdata::from(serdata).size());
  return printed < 0 ? 0 : static_cast<size_t>(printed);
}

void get_keyhash(const ddsi_serdata *, ddsi_keyhash * keyhash, bool)
{
  std::memset(keyhash->value, 0, sizeof keyhash->value);
}

const ddsi_serdata_ops serdata_operations = [] {
    ddsi_serdata_ops ops{};
    ops.eqkey = eqkey;
    ops.get_size = get_size;
    ops.from_ser = from_ser;
    ops.from_ser_iov = from_ser_iov;
    ops.from_keyhash = from_keyhash;
    ops.from_sample = from_sample;
    ops.to_ser = to_ser;
    ops.to_ser_ref = to_ser_ref;
    ops.to_ser_unref = to_ser_unref;
    ops.to_sample = to_sample;
    ops.to_untyped = to_untyped;
    ops.untyped_to_sample = untyped_to_sample;
    ops.free = free_serdata;
    ops.print = print;
    ops.get_keyhash = get_keyhash;
    // No shared-memory (iceoryx) support: leaving those null keeps Cyclone on the network path.
    return ops;
  }();

}  // namespace

RosSerdata::RosSerdata(const ddsi_sertype * type, ddsi_serdata_kind kind, size_t size)
: ddsi_serdata(), size_(size)
{
  ddsi_serdata_init(this, type, kind);
  // Keyless, so all samples hash alike (the hash groups instances).
  hash = type->serdata_basehash;
}

RosSerdata * RosSerdata::create(const ddsi_sertype * type, ddsi_serdata_kind kind, size_t size)
{
  const size_t storage = padded_to_4(size) + 4;
  void * memory = ::operator new(sizeof(RosSerdata) + storage, std::nothrow);
  if (memory == nullptr) {
    return nullptr;
  }
  auto * serdata = new (memory) RosSerdata(type, kind, size);
  std::memset(serdata->mutable_data() + size, 0, storage - size);
  return serdata;
}

RosSerdata * RosSerdata::create_padded(
  const ddsi_sertype * type, const uint8_t * bytes, size_t size)
{
  const size_t padded = padded_to_4(size);
  RosSerdata * serdata = create(type, SDK_DATA, padded);
  if (serdata == nullptr) {
    return nullptr;
  }
  std::memcpy(serdata->mutable_data(), bytes, size);
  std::memset(serdata->mutable_data() + size, 0, padded - size);
  // Like Cyclone's own samples: the low bits of the options say how much padding follows.
  serdata->mutable_data()[3] = static_cast<uint8_t>(padded - size);
  return serdata;
}

void RosSerdata::destroy(RosSerdata * serdata)
{
  serdata->~RosSerdata();
  ::operator delete(serdata);
}

const ddsi_serdata_ops & RosSerdata::operations()
{
  return serdata_operations;
}

DeserializationResult RosSerdata::deserialize(void * message) const
{
  return CdrDeserializer::deserialize(
    data(), size(), message, RosSertype::from(type).message_type().type_support());
}

}  // namespace dds_wire
