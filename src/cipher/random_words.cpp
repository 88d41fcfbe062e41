#include "cipher/random_words.h"

#include <cmath>

#include "platform/random_bytes.h"

namespace orv::cipher {

RandomWords systemRandomWords() {
  std::uint64_t bits[2];
  platform::systemRandomBytes({reinterpret_cast<std::uint8_t*>(bits), sizeof bits});
  return {wordFromFraction(fractionFromBits(bits[0])), wordFromFraction(fractionFromBits(bits[1]))};
}

std::int32_t wordFromFraction(double fraction) {
  return static_cast<std::int32_t>(std::nearbyint(fraction * 2147483647.0));
}

double fractionFromBits(std::uint64_t bits) { return static_cast<double>(bits >> 11) * 0x1.0p-53; }

}  // namespace orv::cipher
