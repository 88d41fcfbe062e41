#pragma once
// The eight registry operations the Reg_ methods are built from, with the Windows result
// convention: 0 success, kErrorMoreData when the buffer is too small (size then holds the
// size needed), kErrorFileNotFound for a missing key or value. A failed open or create hands
// back handle 0, never a stale one.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orv::registry {

// A key handle as Windows passes it; the predefined roots are the HKeyHive values,
// sign-extended as on 64-bit Windows.
using KeyHandle = std::uintptr_t;

// The handle a 32-bit root value stands for: sign-extended, as HKEY_CURRENT_USER is defined.
constexpr KeyHandle rootKeyHandle(std::int32_t root) noexcept {
  return static_cast<KeyHandle>(static_cast<std::intptr_t>(root));
}

inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorInvalidParameter = 87;
inline constexpr std::int32_t kErrorCallNotImplemented = 120;
inline constexpr std::int32_t kErrorBadPathname = 161;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kErrorKeyDeleted = 1018;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kKeyRead = 0x20019;

// Names are ANSI bytes, as the 8-bit entry points of advapi32 take them.
class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  virtual std::int32_t openKey(KeyHandle root, const std::string& subKey, KeyHandle& opened) = 0;
  virtual std::int32_t openKeyEx(KeyHandle root, const std::string& subKey, std::uint32_t options,
                                 std::uint32_t desiredAccess, KeyHandle& opened) = 0;
  virtual std::int32_t createKey(KeyHandle root, const std::string& subKey, KeyHandle& created) = 0;
  // data may be null to ask only for type and size.
  virtual std::int32_t queryValueEx(KeyHandle key, const std::string& valueName, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* size) = 0;
  virtual std::int32_t setValueEx(KeyHandle key, const std::string& valueName, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) = 0;
  virtual std::int32_t deleteValue(KeyHandle key, const std::string& valueName) = 0;
  virtual std::int32_t deleteKey(KeyHandle root, const std::string& subKey) = 0;
  virtual std::int32_t closeKey(KeyHandle key) = 0;
};


// The registry of the platform: advapi32 on Windows; elsewhere one that answers "not implemented".
std::shared_ptr<RegistryApi> platformRegistry();

// The platform's own words for one of its registry result codes; empty where it has none.
std::u16string registryErrorText(std::int32_t code);

// Whether the platform registry's key has subkeys, for telling why a delete was refused;
// nothing when that cannot be told (no registry, a key that cannot be opened to look).
std::optional<bool> keyHasSubkeys(KeyHandle root, const std::string& subKey);

}  // namespace orv::registry
