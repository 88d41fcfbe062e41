#include "about/sys_info.h"

#include <vector>

#include "about/form_texts.h"
#include "base/failure.h"
#include "registry/scoped_key.h"

namespace orv::about {
namespace {

std::string hexDigits(unsigned char code) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string digits;
  if (code >= 16) digits += kDigits[code / 16];
  digits += kDigits[code % 16];
  return digits;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string formatGeneral(const std::string& text) {
  if (text.size() < 3 || text.size() > 10 || text[0] != '&' || (text[1] != 'h' && text[1] != 'H')) return text;
  std::uint32_t value = 0;
  for (std::size_t i = 2; i < text.size(); ++i) {
    const int digit = hexValue(text[i]);
    if (digit < 0) return text;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  const std::int64_t number = text.size() <= 6 ? static_cast<std::int16_t>(value) : static_cast<std::int32_t>(value);
  return std::to_string(number);
}

bool GetKeyValue(SysInfoPlatform& platform, std::int32_t lngRootKey, const std::string& strKeyPath,
                 const std::string& strValueName, std::string& strKeyValue) {
  registry::RegistryApi& api = platform.registry();
  // Read access is all this needs; asking for write access too would fail for every user who
  // may only read the key.
  registry::KeyHandle handle = 0;
  if (api.openKeyEx(registry::rootKeyHandle(lngRootKey), strKeyPath, 0, registry::kKeyRead, handle) !=
      registry::kErrorSuccess) {
    strKeyValue.clear();
    return false;
  }
  // Closed on every path from here; a failed open left nothing to close.
  const registry::ScopedKey key(api, handle);

  std::vector<std::uint8_t> buffer(kValueBufferSize, 0);
  std::uint32_t size = kValueBufferSize;
  std::uint32_t type = 0;
  if (api.queryValueEx(key.get(), strValueName, &type, buffer.data(), &size) != registry::kErrorSuccess) {
    strKeyValue.clear();
    return false;
  }
  // A value without data has no last character to look at.
  if (size == 0) throw Failure(error_number::kInvalidProcedureCall, u"Invalid procedure call or argument");
  std::string text(buffer.begin(), buffer.begin() + size);
  if (text.back() == '\0') text.pop_back();

  switch (type) {
    case registry::kRegSz:
      strKeyValue = text;
      break;
    case registry::kRegExpandSz:
      strKeyValue = platform.expandEnvironment(text);
      break;
    case registry::kRegDword: {
      std::string digits = strKeyValue;
      for (auto code = text.rbegin(); code != text.rend(); ++code)
        digits += hexDigits(static_cast<unsigned char>(*code));
      strKeyValue = formatGeneral("&h" + digits);
      break;
    }
    default:
      break;
  }
  return true;
}

void StartSysInfo(SysInfoPlatform& platform) noexcept {
  try {
    std::string path;
    if (GetKeyValue(platform, kHkeyLocalMachine, kMsinfoKey, kMsinfoValue, path)) {
      // The registered path is trusted as it is: a path that cannot start ends in the notice.
      platform.startProgram(path);
      return;
    }
    if (GetKeyValue(platform, kHkeyLocalMachine, kLocationKey, kLocationValue, path) &&
        platform.isOrdinaryFile(path + kToolFileName)) {
      platform.startProgram(path + kToolFileName);
      return;
    }
  } catch (...) {
    // Any failure on the way means the tool is unavailable.
  }
  try {
    platform.showNotice(kUnavailableText, kComponentTitle);
  } catch (...) {
    // Nothing is left to tell the user with.
  }
}

}  // namespace orv::about
