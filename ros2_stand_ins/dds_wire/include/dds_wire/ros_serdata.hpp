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

#ifndef DDS_WIRE__ROS_SERDATA_HPP_
#define DDS_WIRE__ROS_SERDATA_HPP_

#include <cstddef>
#include <cstdint>

#include "dds/ddsi/ddsi_serdata.h"
#include "dds_wire/cdr_deserializer.hpp"

namespace dds_wire
{

/// One sample of a RosSertype topic, always held in serialized form (header included).
///
/// Received samples are stored as they arrived and only decoded when the application takes
/// them, so a malformed sample costs nothing until then and its error can be reported by the
/// taker, with its own logging, instead of vanishing inside Cyclone's receive thread.
class RosSerdata : public ddsi_serdata
{
public:
  /// The operations table every RosSertype installs.
  static const ddsi_serdata_ops & operations();

  /// Only valid for serdata of a RosSertype.
  static const RosSerdata & from(const ddsi_serdata * serdata)
  {
    return *static_cast<const RosSerdata *>(serdata);
  }

  /// Decodes the sample into `message`, an initialised message of the sertype's type.
  DeserializationResult deserialize(void * message) const;

  const uint8_t * data() const {return reinterpret_cast<const uint8_t *>(this + 1);}
  /// Serialized size, header and the trailing padding to a multiple of 4 included (the
  /// header's options byte says how many padding bytes there are, as Cyclone's own samples do).
  size_t size() const {return size_;}

  /// A sample of `size` bytes for the operations to fill in, in one allocation with its
  /// bytes; only what lies beyond `size` is zeroed. Null when memory runs out.
  static RosSerdata * create(const ddsi_sertype * type, ddsi_serdata_kind kind, size_t size);
  /// A data sample of the serialized message `bytes` (header included), padded with zeros to a
  /// multiple of 4. Null when memory runs out.
  static RosSerdata * create_padded(const ddsi_sertype * type, const uint8_t * bytes, size_t size);
  /// Frees a sample made by create().
  static void destroy(RosSerdata * serdata);

  uint8_t * mutable_data() {return reinterpret_cast<uint8_t *>(this + 1);}

private:
  RosSerdata(const ddsi_sertype * type, ddsi_serdata_kind kind, size_t size);

  // The bytes follow the object in the same allocation, zero-padded beyond the size up to the
  // next multiple of 4 and 4 more: Cyclone may copy that far (see ddsi_serdata_to_ser_t).
  size_t size_;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__ROS_SERDATA_HPP_
