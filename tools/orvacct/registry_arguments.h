#pragma once
// The words of `orvacct reg`: hive names, 32-bit numbers and hex data.
#include <cstdint>
#include <string>
#include <string_view>

#include "registry/hkey_hive.h"

namespace orvacct {

// HKCU, HKLM, HKCR, HKU, HKCC or the full HKEY_... name, in any case.
orv::HKeyHive parseHive(std::string_view name);

// Decimal or 0x hex, signed or unsigned 32-bit: 4294967295 and -1 are the same DWORD.
std::int32_t parseDword(const std::string& text);

// Two hex digits a byte; spaces between pairs are allowed.
std::string parseHex(std::string_view text);

}  // namespace orvacct
