#include "cipher/secure_wipe.h"

namespace orv::cipher {

void secureWipe(void* data, std::size_t size) noexcept {
  // Volatile stores are observable behaviour, so they survive dead-store elimination.
  volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) p[i] = 0;
}

}  // namespace orv::cipher
