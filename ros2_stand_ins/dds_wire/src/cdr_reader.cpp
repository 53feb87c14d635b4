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

#include "dds_wire/cdr_reader.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "dds_wire/deserialization_error.hpp"

namespace dds_wire
{

namespace
{

constexpr size_t header_size = 4;

void reverse_each(uint8_t * bytes, size_t count, size_t element_size)
{
  for (size_t i = 0; i < count; ++i) {
    std::reverse(bytes + i * element_size, bytes + (i + 1) * element_size);
  }
}

std::string hex_byte(uint8_t value)
{
  static constexpr char digits[] = "0123456789abcdef";
  return {digits[value >> 4], digits[value & 0x0f]};
}

}  // namespace

CdrReader::CdrReader(const uint8_t * data, size_t size)
: data_(data), size_(size)
{
  if (size_ < header_size) {
    throw DeserializationError(
            "sample of " + std::to_string(size_) +
            " bytes is shorter than the 4-byte encapsulation header");
  }
  // Byte 0 is always 0 for CDR; byte 1 picks the representation and its byte order.
  // Bytes 2 and 3 are options that classic CDR leaves unused.
  if (data_[0] != 0x00 || (data_[1] != 0x00 && data_[1] != 0x01)) {
    throw DeserializationError(
            "unsupported encapsulation " + hex_byte(data_[0]) + " " + hex_byte(data_[1]) +
            " (only classic CDR, 00 00 or 00 01, is understood)");
  }
  big_endian_ = data_[1] == 0x00;
  offset_ = header_size;
}

void CdrReader::align(size_t alignment)
{
  const size_t padding = (alignment - (offset_ - header_size) % alignment) % alignment;
  require(padding, "alignment padding");
  offset_ += padding;
}

void CdrReader::read_elements(void * destination, size_t count, size_t element_size)
{
  align(element_size);
  if (count > remaining() / element_size) {
    throw DeserializationError(
            "sample ends early: needs " + std::to_string(count) + " x " +
            std::to_string(element_size) +
            " bytes but only " + std::to_string(remaining()) + " are left");
  }
  const size_t length = count * element_size;
  if (length == 0) {
    return;
  }
  std::memcpy(destination, data_ + offset_, length);
  offset_ += length;
  const bool host_big_endian = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;
  if (big_endian_ != host_big_endian && element_size > 1) {
    reverse_each(static_cast<uint8_t *>(destination), count, element_size);
  }
}

uint8_t CdrReader::read_uint8()
{
  uint8_t value = 0;
  read_elements(&value, 1, 1);
  return value;
}

uint32_t CdrReader::read_uint32()
{
  uint32_t value = 0;
  read_elements(&value, 1, 4);
  return value;
}

void CdrReader::require_elements(const char * what, size_t count, size_t min_element_size) const
{
  if (min_element_size != 0 && count > remaining() / min_element_size) {
    throw DeserializationError(
            std::string(what) + " " + std::to_string(count) + " exceeds the " +
            std::to_string(remaining()) + " bytes left");
  }
}

const uint8_t * CdrReader::read_bytes(size_t length)
{
  require(length, "raw bytes");
  const uint8_t * start = data_ + offset_;
  offset_ += length;
  return start;
}

void CdrReader::require(size_t length, const char * what) const
{
  if (length > remaining()) {
    throw DeserializationError(
            std::string("sample ends early: ") + what + " needs " + std::to_string(length) +
            " bytes but only " + std::to_string(remaining()) + " are left");
  }
}

}  // namespace dds_wire
