#pragma once
// Bytes from the operating system's cryptographic generator (getrandom, BCryptGenRandom).
#include <cstdint>
#include <span>

namespace orv::platform {

// Fills the span; throws std::system_error when the system cannot.
void systemRandomBytes(std::span<std::uint8_t> bytes);

}  // namespace orv::platform
