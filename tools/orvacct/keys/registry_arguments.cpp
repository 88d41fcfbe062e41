#include "keys/registry_arguments.h"

#include <array>
#include <cctype>

#include "cipher/hex_text.h"
#include "output/tool_output.h"

namespace orvacct {
namespace {

struct HiveName {
  std::string_view shortName;
  std::string_view longName;
  orv::HKeyHive hive;
};

constexpr std::array<HiveName, 5> kHives{{
    {"HKCR", "HKEY_CLASSES_ROOT", orv::HkeyClassesRToot},
    {"HKCU", "HKEY_CURRENT_USER", orv::HkeyCurrentUser},
    {"HKLM", "HKEY_LOCAL_MACHINE", orv::HkeyLocalMachine},
    {"HKU", "HKEY_USERS", orv::HkeyUsers},
    {"HKCC", "HKEY_CURRENT_CONFIG", orv::HkeyCurrentConfig},
}};

bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

orv::HKeyHive parseHive(std::string_view name) {
  for (const HiveName& known : kHives) {
    if (sameWord(name, known.shortName) || sameWord(name, known.longName)) return known.hive;
  }
  throw UsageError("unknown hive '" + std::string(name) + "': use HKCU, HKLM, HKCR, HKU, HKCC or their HKEY_ names");
}

std::string parseHex(std::string_view text) {
  // Spaces may part the bytes, never the two digits of one.
  std::string digits;
  for (const char c : text) {
    if (c == ' ' && digits.size() % 2 == 0) continue;
    digits.push_back(c);
  }
  if (orv::cipher::isHexPairs(digits)) return orv::cipher::bytesFromHexText(std::string_view(digits));
  if (orv::cipher::isHexPairs(digits + '0')) {  // digits only, one short of whole bytes
    throw UsageError("hex data needs two digits a byte: '" + std::string(text) + "'");
  }
  throw UsageError("not hex data: '" + std::string(text) + "'");
}

}  // namespace orvacct
