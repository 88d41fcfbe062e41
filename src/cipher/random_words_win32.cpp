#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <cstdint>
#include <system_error>

#include "cipher/random_words.h"

namespace orv::cipher {

RandomWords systemRandomWords() {
  std::uint64_t bits[2];
  const NTSTATUS status =
      BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(bits), sizeof bits, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status < 0) throw std::system_error(static_cast<int>(status), std::system_category(), "BCryptGenRandom");
  return {wordFromFraction(fractionFromBits(bits[0])), wordFromFraction(fractionFromBits(bits[1]))};
}

}  // namespace orv::cipher
