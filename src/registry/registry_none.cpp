#include "registry/registry_none.h"

namespace orv::registry {

std::int32_t NoRegistry::openKey(KeyHandle, const std::string&, KeyHandle& opened) {
  opened = 0;
  return kErrorCallNotImplemented;
}

std::int32_t NoRegistry::openKeyEx(KeyHandle, const std::string&, std::uint32_t, std::uint32_t, KeyHandle& opened) {
  opened = 0;
  return kErrorCallNotImplemented;
}

std::int32_t NoRegistry::createKey(KeyHandle, const std::string&, KeyHandle& created) {
  created = 0;
  return kErrorCallNotImplemented;
}

std::int32_t NoRegistry::queryValueEx(KeyHandle, const std::string&, std::uint32_t*, std::uint8_t*, std::uint32_t*) {
  return kErrorCallNotImplemented;
}

std::int32_t NoRegistry::setValueEx(KeyHandle, const std::string&, std::uint32_t, const std::uint8_t*, std::uint32_t) {
  return kErrorCallNotImplemented;
}

std::int32_t NoRegistry::deleteValue(KeyHandle, const std::string&) { return kErrorCallNotImplemented; }
std::int32_t NoRegistry::deleteKey(KeyHandle, const std::string&) { return kErrorCallNotImplemented; }
std::int32_t NoRegistry::closeKey(KeyHandle) { return kErrorCallNotImplemented; }

}  // namespace orv::registry
