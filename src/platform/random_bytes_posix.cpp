#include <sys/random.h>

#include <cerrno>
#include <system_error>

#include "platform/random_bytes.h"

namespace orv::platform {

void systemRandomBytes(std::span<std::uint8_t> bytes) {
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "getrandom");
    }
    filled += static_cast<std::size_t>(got);
  }
}

}  // namespace orv::platform
