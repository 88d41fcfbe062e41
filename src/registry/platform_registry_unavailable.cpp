// Outside Windows there is no registry: every operation answers "not implemented", so the
// Reg_ methods return their fallback results.
#include <memory>

#include "registry/registry_api.h"

namespace orv {
namespace registry {
namespace {

class NoRegistry final : public RegistryApi {
 public:
  std::int32_t openKey(KeyHandle, const std::string&, KeyHandle& opened) override {
    opened = 0;
    return kErrorCallNotImplemented;
  }
  std::int32_t openKeyEx(KeyHandle, const std::string&, std::uint32_t, std::uint32_t, KeyHandle& opened) override {
    opened = 0;
    return kErrorCallNotImplemented;
  }
  std::int32_t createKey(KeyHandle, const std::string&, KeyHandle& created) override {
    created = 0;
    return kErrorCallNotImplemented;
  }
  std::int32_t queryValueEx(KeyHandle, const std::string&, std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
    return kErrorCallNotImplemented;
  }
  std::int32_t setValueEx(KeyHandle, const std::string&, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
    return kErrorCallNotImplemented;
  }
  std::int32_t deleteValue(KeyHandle, const std::string&) override { return kErrorCallNotImplemented; }
  std::int32_t deleteKey(KeyHandle, const std::string&) override { return kErrorCallNotImplemented; }
  std::int32_t closeKey(KeyHandle) override { return kErrorCallNotImplemented; }
};

}  // namespace
}  // namespace registry

std::shared_ptr<registry::RegistryApi> platformRegistry() { return std::make_shared<registry::NoRegistry>(); }

}  // namespace orv
