#include "cipher/key_bytes.h"

#include <algorithm>

#include "text/ansi_codepage.h"

namespace orv::cipher {

SecretBytes keyScheduleBytes(std::u16string_view key) {
  SecretBytes bytes(text::toAnsi(key));
  // A code page may also give fewer bytes than characters (one '?' for a surrogate pair):
  // then there are only those bytes to cycle over.
  bytes.resize(std::min(bytes.size(), key.size()));
  return bytes;
}

}  // namespace orv::cipher
