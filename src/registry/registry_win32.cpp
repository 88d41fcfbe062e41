// The registry on Windows: the 8-bit entry points of advapi32, result codes passed through.
#include <windows.h>

#include <memory>
#include <vector>

#include "platform/system_message_win32.h"
#include "platform/unique_handle_win32.h"
#include "registry/registry_api.h"

namespace orv::registry {
namespace {

bool isText(std::uint32_t type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

HKEY asHkey(KeyHandle key) { return reinterpret_cast<HKEY>(key); }
KeyHandle asHandle(HKEY key) { return reinterpret_cast<KeyHandle>(key); }

// A handle only when the call succeeded, so a failed open never leaves a stale one.
std::int32_t handOut(LONG result, HKEY key, KeyHandle& out) {
  out = result == ERROR_SUCCESS ? asHandle(key) : 0;
  return static_cast<std::int32_t>(result);
}

class Win32Registry final : public RegistryApi {
 public:
  std::int32_t openKey(KeyHandle root, const std::string& subKey, KeyHandle& opened) override {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyA(asHkey(root), subKey.c_str(), &key);
    return handOut(result, key, opened);
  }

  std::int32_t openKeyEx(KeyHandle root, const std::string& subKey, std::uint32_t options, std::uint32_t desiredAccess,
                         KeyHandle& opened) override {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(asHkey(root), subKey.c_str(), options, desiredAccess, &key);
    return handOut(result, key, opened);
  }

  std::int32_t createKey(KeyHandle root, const std::string& subKey, KeyHandle& created) override {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyA(asHkey(root), subKey.c_str(), &key);
    return handOut(result, key, created);
  }

  std::int32_t queryValueEx(KeyHandle key, const std::string& valueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override {
    // DWORD is unsigned long here, so the out-parameters go through locals.
    DWORD typeOut = type != nullptr ? *type : 0;
    DWORD sizeOut = size != nullptr ? *size : 0;
    const LONG result = RegQueryValueExA(asHkey(key), valueName.c_str(), nullptr, type != nullptr ? &typeOut : nullptr,
                                         data, size != nullptr ? &sizeOut : nullptr);
    if (type != nullptr) *type = typeOut;
    if (size != nullptr) *size = sizeOut;
    return static_cast<std::int32_t>(result);
  }

  std::int32_t setValueEx(KeyHandle key, const std::string& valueName, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) override {
    // An empty value still needs a valid data pointer.
    static const BYTE none = 0;
    if (data == nullptr) data = &none;
    if (size == 0 || !isText(type)) {
      return static_cast<std::int32_t>(RegSetValueExA(asHkey(key), valueName.c_str(), 0, type, data, size));
    }
    // For text, advapi32 also stores a NUL that merely follows the data (as NT always has), so
    // the data goes in a copy that ends in a non-NUL byte: exactly size bytes are stored.
    std::vector<BYTE> copy(data, data + size);
    copy.push_back(1);
    return static_cast<std::int32_t>(RegSetValueExA(asHkey(key), valueName.c_str(), 0, type, copy.data(), size));
  }

  std::int32_t deleteValue(KeyHandle key, const std::string& valueName) override {
    return static_cast<std::int32_t>(RegDeleteValueA(asHkey(key), valueName.c_str()));
  }

  std::int32_t deleteKey(KeyHandle root, const std::string& subKey) override {
    return static_cast<std::int32_t>(RegDeleteKeyA(asHkey(root), subKey.c_str()));
  }

  std::int32_t closeKey(KeyHandle key) override { return static_cast<std::int32_t>(RegCloseKey(asHkey(key))); }
};

}  // namespace

std::shared_ptr<RegistryApi> platformRegistry() { return std::make_shared<Win32Registry>(); }

std::u16string registryErrorText(std::int32_t code) { return platform::systemMessage(static_cast<DWORD>(code)); }

std::optional<bool> keyHasSubkeys(KeyHandle root, const std::string& subKey) {
  platform::UniqueKey key;
  if (RegOpenKeyExA(asHkey(root), subKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return {};
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return {};
  }
  return subkeys > 0;
}

}  // namespace orv::registry
