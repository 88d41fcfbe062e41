#pragma once
// The registry where there is none: every operation answers "not implemented", so the Reg_
// methods return their fallback results.
#include "registry/registry_api.h"

namespace orv::registry {

class NoRegistry final : public RegistryApi {
 public:
  std::int32_t openKey(KeyHandle root, const std::string& subKey, KeyHandle& opened) override;
  std::int32_t openKeyEx(KeyHandle root, const std::string& subKey, std::uint32_t options, std::uint32_t desiredAccess,
                         KeyHandle& opened) override;
  std::int32_t createKey(KeyHandle root, const std::string& subKey, KeyHandle& created) override;
  std::int32_t queryValueEx(KeyHandle key, const std::string& valueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override;
  std::int32_t setValueEx(KeyHandle key, const std::string& valueName, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) override;
  std::int32_t deleteValue(KeyHandle key, const std::string& valueName) override;
  std::int32_t deleteKey(KeyHandle root, const std::string& subKey) override;
  std::int32_t closeKey(KeyHandle key) override;
};

}  // namespace orv::registry
