#ifndef DDS_WIRE__CDR_WRITER_HPP_
#define DDS_WIRE__CDR_WRITER_HPP_

#include <cstddef>
#include <cstdint>

namespace dds_wire
{

/// Writes classic little-endian CDR after a 4-byte encapsulation header.
///
/// Without a buffer it only counts, so the size pass and the write pass share one traversal
/// and can never disagree about padding.
class CdrWriter
{
public:
  /// Size of the encapsulation header that precedes every sample.
  static constexpr size_t header_size = 4;

  /// A counting writer: nothing is stored, size() tells how much would have been.
  CdrWriter() = default;
  /// Writes into `buffer`; going past `capacity` throws std::logic_error (a size pass bug).
  CdrWriter(uint8_t * buffer, size_t capacity);

  /// `00 01 00 00`: CDR, little endian, no options.
  void write_header();

  /// Pads with zeros so the next field starts at a multiple of `alignment`, counted from the
  /// end of the header as CDR requires.
  void align(size_t alignment);

  /// Writes `count` elements of `element_size` bytes each, aligned to the element size,
  /// taken verbatim from memory (the host is little endian).
  void write_elements(const void * data, size_t count, size_t element_size);

  void write_uint8(uint8_t value) {write_elements(&value, 1, 1);}
  void write_uint32(uint32_t value) {write_elements(&value, 1, 4);}

  /// Bytes written (or counted) so far, header included.
  size_t size() const {return offset_;}

private:
  void put(const void * data, size_t length);
  void put_zeros(size_t length);

  uint8_t * buffer_ = nullptr;
  size_t capacity_ = 0;
  size_t offset_ = 0;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__CDR_WRITER_HPP_
