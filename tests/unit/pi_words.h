#pragma once
// The hexadecimal fraction digits of pi, recomputed independently of the engine's tables.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv::testing {

// The first `count` 32-bit words of pi's fraction (0x243F6A88, 0x85A308D3, ...).
std::vector<std::uint32_t> piFractionWords(std::size_t count);

}  // namespace orv::testing
