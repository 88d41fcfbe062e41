// New identifiers outside Windows come from libuuid, read in the field order of a GUID.
#include <uuid/uuid.h>

#include "util/guid.h"

namespace orv::util {

std::int32_t platformNewGuid(GuidRecord& guid) {
  uuid_t bytes;
  uuid_generate_random(bytes);
  guid.data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
               bytes[3];
  guid.data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  guid.data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) guid.data4[static_cast<std::size_t>(i)] = bytes[8 + i];
  return 0;
}

}  // namespace orv::util
