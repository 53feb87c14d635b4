#ifndef DDS_WIRE__ROS_SERDATA_HPP_
#define DDS_WIRE__ROS_SERDATA_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>

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

  const uint8_t * data() const {return bytes_.get();}
  /// Serialized size, header and the trailing padding to a multiple of 4 included (the
  /// header's options byte says how many padding bytes there are, as Cyclone's own samples do).
  size_t size() const {return size_;}

  /// An empty sample of `size` bytes (zero-filled) for the operations to fill in.
  RosSerdata(const ddsi_sertype * type, ddsi_serdata_kind kind, size_t size);
  uint8_t * mutable_data() {return bytes_.get();}

private:
  size_t size_;
  // Zero-padded up to a multiple of 4: Cyclone may copy that far (see ddsi_serdata_to_ser_t).
  std::unique_ptr<uint8_t[]> bytes_;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__ROS_SERDATA_HPP_
