#include "cipher/key_bytes.h"

#include <algorithm>

#include "base/secure_wipe.h"
#include "text/ansi_codepage.h"

namespace orv::cipher {

std::string keyScheduleBytes(std::u16string_view key) {
  std::string bytes = text::toAnsi(key);
  // A code page may also give fewer bytes than characters (one '?' for a surrogate pair):
  // then there are only those bytes to cycle over.
  const std::size_t used = std::min(bytes.size(), key.size());
  secureWipe(bytes.data() + used, bytes.size() - used);
  bytes.resize(used);
  return bytes;
}

}  // namespace orv::cipher
