#include "cipher/random_words.h"

#include <cmath>

namespace orv::cipher {

std::int32_t wordFromFraction(double fraction) {
  return static_cast<std::int32_t>(std::nearbyint(fraction * 2147483647.0));
}

double fractionFromBits(std::uint64_t bits) { return static_cast<double>(bits >> 11) * 0x1.0p-53; }

}  // namespace orv::cipher
