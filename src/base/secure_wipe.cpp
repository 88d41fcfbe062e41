#include "base/secure_wipe.h"

#include <cstring>

namespace orv {

void secureWipe(void* data, std::size_t size) noexcept {
  if (size == 0) return;
#if defined(__GNUC__)
  // The empty asm claims to read the memory, so the memset cannot be dropped as dead.
  std::memset(data, 0, size);
  __asm__ __volatile__("" : : "r"(data) : "memory");
#else
  volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) p[i] = 0;
#endif
}

}  // namespace orv
