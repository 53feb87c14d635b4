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

#ifndef DDS_WIRE__CDR_DESERIALIZER_HPP_
#define DDS_WIRE__CDR_DESERIALIZER_HPP_

#include <cstddef>
#include <cstdint>
#include <string>

#include "rosidl_runtime_c/message_type_support_struct.h"

namespace dds_wire
{

/// Outcome of decoding one sample: either fine, or one line saying which field was wrong and
/// why, fit for a log ("ranges: sequence length 4000000000 exceeds the 12 bytes left").
struct DeserializationResult
{
  bool ok = true;
  std::string error;

  explicit operator bool() const {return ok;}
};

/// Decodes samples produced by CdrSerializer or by any ROS 2 Humble / DDS peer into generated
/// ROS C++ messages, distrusting every byte.
///
/// Accepted: the encapsulation header `00 01` (classic CDR, little endian) and `00 00` (classic
/// CDR, big endian, byte-swapped while reading); bytes after the last field (RTPS pads samples
/// to 4 bytes) are ignored. Rejected with an error naming the field: any other representation,
/// a read past the end, a sequence or string length that the remaining bytes cannot hold (so no
/// allocation is ever sized by an unchecked count), a bounded string or sequence over its bound,
/// a non-empty string without its terminating NUL. A zero string length is taken as the empty
/// string, as rmw_cyclonedds does. Booleans take any non-zero byte as true.
class CdrDeserializer
{
public:
  /// `message` must be an initialised message of the type `type_support` describes; on
  /// failure its contents are unspecified (but valid and destructible) and should be dropped.
  /// Throws std::invalid_argument only for an unusable type support, never for bad bytes.
  static DeserializationResult deserialize(
    const uint8_t * data, size_t size, void * message,
    const rosidl_message_type_support_t * type_support);
};

}  // namespace dds_wire

#endif  // DDS_WIRE__CDR_DESERIALIZER_HPP_
