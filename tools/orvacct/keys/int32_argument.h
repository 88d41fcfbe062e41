#pragma once
// 32-bit numbers on the command line (error numbers, DWORD data), as Windows tools write
// them: decimal or 0x hex, signed or unsigned, so -2147467259, 2147500037 and 0x80004005 are
// the same number.
#include <cstdint>
#include <string>

namespace orvacct {

// A UsageError naming `what` for anything else.
std::int32_t parseInt32(const std::string& text, const std::string& what);

}  // namespace orvacct
