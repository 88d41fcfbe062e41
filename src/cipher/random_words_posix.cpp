#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include "cipher/random_words.h"

namespace orv::cipher {

RandomWords systemRandomWords() {
  std::uint64_t bits[2];
  auto* out = reinterpret_cast<unsigned char*>(bits);
  std::size_t filled = 0;
  while (filled < sizeof bits) {
    const ssize_t got = getrandom(out + filled, sizeof bits - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "getrandom");
    }
    filled += static_cast<std::size_t>(got);
  }
  return {wordFromFraction(fractionFromBits(bits[0])), wordFromFraction(fractionFromBits(bits[1]))};
}

}  // namespace orv::cipher
