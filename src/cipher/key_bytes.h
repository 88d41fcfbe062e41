#pragma once
// What the key schedule takes from a key: its bytes in the ANSI code page, cycled over as many
// of them as the key has characters. Under a double-byte code page a character may take two
// bytes, so only the first bytes of such a key are used; stored cipher text depends on it.
#include <string_view>

#include "base/secret.h"

namespace orv::cipher {

// The bytes the schedule cycles over: the key's ANSI bytes, cut to its length in 16-bit
// characters (all of them where a code page gave fewer bytes than characters).
SecretBytes keyScheduleBytes(std::u16string_view key);

}  // namespace orv::cipher
