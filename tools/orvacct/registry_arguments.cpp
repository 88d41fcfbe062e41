#include "registry_arguments.h"

#include <array>
#include <cctype>
#include <stdexcept>

#include "tool_output.h"

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

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

orv::HKeyHive parseHive(std::string_view name) {
  for (const HiveName& known : kHives) {
    if (sameWord(name, known.shortName) || sameWord(name, known.longName)) return known.hive;
  }
  throw ToolError("unknown hive '" + std::string(name) + "': use HKCU, HKLM, HKCR, HKU, HKCC or their HKEY_ names");
}

std::int32_t parseDword(const std::string& text) {
  long long value = 0;
  std::size_t used = 0;
  try {
    value = std::stoll(text, &used, 0);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value < INT32_MIN || value > static_cast<long long>(UINT32_MAX)) {
    throw ToolError("not a 32-bit number: '" + text + "'");
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::string parseHex(std::string_view text) {
  std::string bytes;
  int high = -1;
  for (const char c : text) {
    if (c == ' ' && high < 0) continue;
    const int digit = hexDigit(c);
    if (digit < 0) throw ToolError("not hex data: '" + std::string(text) + "'");
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<char>(high << 4 | digit));
      high = -1;
    }
  }
  if (high >= 0) throw ToolError("hex data needs two digits a byte: '" + std::string(text) + "'");
  return bytes;
}

std::string toHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xF]);
  }
  return hex;
}

}  // namespace orvacct
