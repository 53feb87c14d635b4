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

#ifndef DDS_WIRE__CDR_WRITER_HPP_
#define DDS_WIRE__CDR_WRITER_HPP_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace dds_wire
{

/// Writes classic little-endian CDR after a 4-byte encapsulation header.
///
/// Without a buffer it only counts, so the size pass and the write pass share one traversal
/// and can never disagree about padding. With a vector it grows the vector as it goes, so a
/// sample is written in one pass. Writing is inline: a message of a few dozen fields makes
/// that many calls per sample.
class CdrWriter
{
public:
  /// Size of the encapsulation header that precedes every sample.
  static constexpr size_t header_size = 4;

  /// A counting writer: nothing is stored, size() tells how much would have been.
  CdrWriter() = default;
  /// Writes into `buffer`; going past `capacity` throws std::logic_error (a size pass bug).
  CdrWriter(uint8_t * buffer, size_t capacity)
  : buffer_(buffer), capacity_(capacity) {}
  /// Writes into `buffer` from its start, making it larger when needed but never smaller, so a
  /// buffer kept for the next sample rarely grows again; size() tells how much is the sample.
  explicit CdrWriter(std::vector<uint8_t> & buffer)
  : buffer_(buffer.data()), capacity_(buffer.size()), growable_(&buffer) {}

  /// `00 01 00 00`: CDR, little endian, no options.
  void write_header()
  {
    static constexpr uint8_t header[header_size] = {0x00, 0x01, 0x00, 0x00};
    put(header, header_size);
  }

  /// Pads with zeros so the next field starts at a multiple of `alignment` (1, 2, 4 or 8),
  /// counted from the end of the header as CDR requires.
  void align(size_t alignment)
  {
    const size_t padding = (header_size - offset_) & (alignment - 1);
    if (padding != 0) {
      put_zeros(padding);
    }
  }

  /// Writes `count` elements of `element_size` bytes each, aligned to the element size,
  /// taken verbatim from memory (the host is little endian).
  void write_elements(const void * data, size_t count, size_t element_size)
  {
    align(element_size);
    put(data, count * element_size);
  }

  void write_uint8(uint8_t value) {write_elements(&value, 1, 1);}
  void write_uint32(uint32_t value) {write_elements(&value, 1, 4);}

  /// Bytes written (or counted) so far, header included.
  size_t size() const {return offset_;}

private:
  void put(const void * data, size_t length)
  {
    if (length > capacity_ - offset_) {
      make_room(length);
    }
    if (buffer_ != nullptr && length != 0) {
      std::memcpy(buffer_ + offset_, data, length);
    }
    offset_ += length;
  }

  void put_zeros(size_t length)
  {
    if (length > capacity_ - offset_) {
      make_room(length);
    }
    if (buffer_ != nullptr) {
      std::memset(buffer_ + offset_, 0, length);
    }
    offset_ += length;
  }

  /// Grows the vector so `length` more bytes fit, or throws std::logic_error for a fixed buffer.
  void make_room(size_t length);

  uint8_t * buffer_ = nullptr;
  size_t capacity_ = std::numeric_limits<size_t>::max();
  size_t offset_ = 0;
  std::vector<uint8_t> * growable_ = nullptr;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__CDR_WRITER_HPP_
