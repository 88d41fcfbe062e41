#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <system_error>

#include "platform/random_bytes.h"

namespace orv::platform {

void systemRandomBytes(std::span<std::uint8_t> bytes) {
  const NTSTATUS status =
      BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status < 0) throw std::system_error(static_cast<int>(status), std::system_category(), "BCryptGenRandom");
}

}  // namespace orv::platform
