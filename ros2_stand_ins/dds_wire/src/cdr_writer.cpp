#include "dds_wire/cdr_writer.hpp"

#include <cstring>
#include <stdexcept>

// Samples are copied between memory and the wire without byte swapping.
static_assert(
  __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
  "the CDR writer emits the host's byte order and labels it little endian");

namespace dds_wire
{

CdrWriter::CdrWriter(uint8_t * buffer, size_t capacity)
: buffer_(buffer), capacity_(capacity)
{
}

void CdrWriter::write_header()
{
  static constexpr uint8_t header[header_size] = {0x00, 0x01, 0x00, 0x00};
  put(header, header_size);
}

void CdrWriter::align(size_t alignment)
{
  const size_t position = offset_ - header_size;
  put_zeros((alignment - position % alignment) % alignment);
}

void CdrWriter::write_elements(const void * data, size_t count, size_t element_size)
{
  align(element_size);
  put(data, count * element_size);
}

void CdrWriter::put(const void * data, size_t length)
{
  if (buffer_ != nullptr) {
    if (length > capacity_ - offset_) {
      throw std::logic_error("CDR writer ran past the buffer it was sized for");
    }
    if (length != 0) {
      std::memcpy(buffer_ + offset_, data, length);
    }
  }
  offset_ += length;
}

void CdrWriter::put_zeros(size_t length)
{
  if (buffer_ != nullptr) {
    if (length > capacity_ - offset_) {
      throw std::logic_error("CDR writer ran past the buffer it was sized for");
    }
    std::memset(buffer_ + offset_, 0, length);
  }
  offset_ += length;
}

}  // namespace dds_wire
