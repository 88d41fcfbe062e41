#pragma once
// The words of `orvacct reg`: hive names and hex data (a UsageError when malformed).
#include <string>
#include <string_view>

#include "registry/hkey_hive.h"

namespace orvacct {

// HKCU, HKLM, HKCR, HKU, HKCC or the full HKEY_... name, in any case.
orv::HKeyHive parseHive(std::string_view name);

// Two hex digits a byte; spaces between pairs are allowed.
std::string parseHex(std::string_view text);

}  // namespace orvacct
