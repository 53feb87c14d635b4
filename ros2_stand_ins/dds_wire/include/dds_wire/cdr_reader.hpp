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

#ifndef DDS_WIRE__CDR_READER_HPP_
#define DDS_WIRE__CDR_READER_HPP_

#include <cstddef>
#include <cstdint>

namespace dds_wire
{

/// Reads classic CDR from one received sample, never past its end.
///
/// Every read checks the bytes left first and throws DeserializationError instead of
/// touching memory it does not own. Both byte orders of the encapsulation header are
/// decoded: ROS 2 peers send little endian, but a DDS writer on a big-endian host is free to
/// send its native order and the header says which one it used.
class CdrReader
{
public:
  /// Validates the encapsulation header; throws DeserializationError if it is missing or
  /// names anything but classic CDR (XCDR2, parameter lists, ...).
  CdrReader(const uint8_t * data, size_t size);

  /// Skips the padding before a field of the given alignment (counted from the header's end).
  void align(size_t alignment);

  /// Reads `count` elements of `element_size` bytes (1, 2, 4 or 8), aligned to the element
  /// size, into `destination`, converting to the host's byte order.
  void read_elements(void * destination, size_t count, size_t element_size);

  uint8_t read_uint8();
  uint32_t read_uint32();

  /// Checks that `count` elements of at least `min_element_size` bytes each can still follow,
  /// so a forged length cannot make the caller allocate more than the sample could ever fill.
  /// `what` names the length in the error ("sequence length", "string length").
  void require_elements(const char * what, size_t count, size_t min_element_size) const;

  /// A pointer to the next `length` raw bytes, which the reader then skips.
  const uint8_t * read_bytes(size_t length);

  size_t remaining() const {return size_ - offset_;}
  bool big_endian() const {return big_endian_;}

private:
  void require(size_t length, const char * what) const;

  const uint8_t * data_;
  size_t size_;
  size_t offset_ = 0;
  bool big_endian_ = false;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__CDR_READER_HPP_
