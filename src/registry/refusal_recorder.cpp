#include "registry/refusal_recorder.h"

namespace orv::registry {

std::int32_t RefusalRecorder::keep(std::string_view function, std::int32_t code) {
  if (code != kErrorSuccess && !first_) first_ = Refusal{function, code};
  return code;
}

std::int32_t RefusalRecorder::openKey(KeyHandle root, const std::string& subKey, KeyHandle& opened) {
  return keep("RegOpenKeyA", registry_->openKey(root, subKey, opened));
}

std::int32_t RefusalRecorder::openKeyEx(KeyHandle root, const std::string& subKey, std::uint32_t options,
                                        std::uint32_t desiredAccess, KeyHandle& opened) {
  return keep("RegOpenKeyExA", registry_->openKeyEx(root, subKey, options, desiredAccess, opened));
}

std::int32_t RefusalRecorder::createKey(KeyHandle root, const std::string& subKey, KeyHandle& created) {
  return keep("RegCreateKeyA", registry_->createKey(root, subKey, created));
}

std::int32_t RefusalRecorder::queryValueEx(KeyHandle key, const std::string& valueName, std::uint32_t* type,
                                           std::uint8_t* data, std::uint32_t* size) {
  return registry_->queryValueEx(key, valueName, type, data, size);
}

std::int32_t RefusalRecorder::setValueEx(KeyHandle key, const std::string& valueName, std::uint32_t type,
                                         const std::uint8_t* data, std::uint32_t size) {
  return keep("RegSetValueExA", registry_->setValueEx(key, valueName, type, data, size));
}

std::int32_t RefusalRecorder::deleteValue(KeyHandle key, const std::string& valueName) {
  return keep("RegDeleteValueA", registry_->deleteValue(key, valueName));
}

std::int32_t RefusalRecorder::deleteKey(KeyHandle root, const std::string& subKey) {
  return keep("RegDeleteKeyA", registry_->deleteKey(root, subKey));
}

std::int32_t RefusalRecorder::closeKey(KeyHandle key) { return registry_->closeKey(key); }

}  // namespace orv::registry
