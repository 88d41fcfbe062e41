#pragma once
// A registry that passes every call through and keeps the first one refused, for a caller that
// must say why a change did not happen: the Reg_ methods keep their result codes to themselves.
// Opens, creates, sets and deletes count, since a change fails in one of them (a value is
// deleted through a key opened first). Queries and closes do not: reads fall back instead, and
// closing handle 0 after a refused open or create only echoes that refusal.
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "registry/registry_api.h"

namespace orv::registry {

struct Refusal {
  std::string_view function;  // the advapi32 entry point, e.g. "RegCreateKeyA"
  std::int32_t code;
};

class RefusalRecorder final : public RegistryApi {
 public:
  explicit RefusalRecorder(std::shared_ptr<RegistryApi> registry) : registry_(std::move(registry)) {}

  const std::optional<Refusal>& firstRefusal() const noexcept { return first_; }

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

 private:
  std::int32_t keep(std::string_view function, std::int32_t code);

  std::shared_ptr<RegistryApi> registry_;
  std::optional<Refusal> first_;
};

}  // namespace orv::registry
