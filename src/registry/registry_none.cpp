#include "registry/registry_none.h"

namespace orv::registry {
namespace {

class NoRegistry final : public RegistryApi {
 public:
  std::int32_t openKey(KeyHandle, const std::string&, KeyHandle& opened) override { return nothing(opened); }
  std::int32_t openKeyEx(KeyHandle, const std::string&, std::uint32_t, std::uint32_t, KeyHandle& opened) override {
    return nothing(opened);
  }
  std::int32_t createKey(KeyHandle, const std::string&, KeyHandle& created) override { return nothing(created); }
  std::int32_t queryValueEx(KeyHandle, const std::string&, std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
    return kErrorCallNotImplemented;
  }
  std::int32_t setValueEx(KeyHandle, const std::string&, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
    return kErrorCallNotImplemented;
  }
  std::int32_t deleteValue(KeyHandle, const std::string&) override { return kErrorCallNotImplemented; }
  std::int32_t deleteKey(KeyHandle, const std::string&) override { return kErrorCallNotImplemented; }
  std::int32_t closeKey(KeyHandle) override { return kErrorCallNotImplemented; }

 private:
  // No handle ever comes back, so a failed open never leaves a stale one.
  static std::int32_t nothing(KeyHandle& handle) {
    handle = 0;
    return kErrorCallNotImplemented;
  }
};

}  // namespace

std::shared_ptr<RegistryApi> noRegistry() { return std::make_shared<NoRegistry>(); }

}  // namespace orv::registry
