#include "support/in_memory_registry_double.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>

#include "component/clsOrvAcctMan.h"
#include "base/failure.h"

namespace orv::testing {

using namespace registry;

struct InMemoryRegistryDouble::Key {
  std::map<std::string, std::shared_ptr<Key>, NameLess> subkeys;
  std::map<std::string, StoredValue, NameLess> values;
  bool deleted = false;
};

namespace {

constexpr std::int32_t kErrorNoAccess = 998;

bool isStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Path levels between backslashes; empty levels (a doubled or trailing backslash) are skipped.
std::vector<std::string_view> levels(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const auto cut = path.find('\\');
    const std::string_view part = path.substr(0, cut);
    if (!part.empty()) parts.push_back(part);
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return parts;
}

}  // namespace

bool InMemoryRegistryDouble::NameLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

InMemoryRegistryDouble::InMemoryRegistryDouble() {
  for (const HKeyHive root : {HkeyClassesRToot, HkeyCurrentUser, HkeyLocalMachine, HkeyUsers, HkeyCurrentConfig}) {
    roots_[rootKeyHandle(root)] = std::make_shared<Key>();
  }
}

InMemoryRegistryDouble::~InMemoryRegistryDouble() = default;

void InMemoryRegistryDouble::failCall(std::string operation, int nth, std::int32_t code) {
  faults_.push_back({std::move(operation), nth, code, false});
}

void InMemoryRegistryDouble::throwOnCall(std::string operation) {
  faults_.push_back({std::move(operation), 1, 0, true});
}

std::optional<std::int32_t> InMemoryRegistryDouble::journal(std::string operation, std::string detail) {
  calls_.push_back(detail.empty() ? operation : operation + " " + detail);
  for (auto fault = faults_.begin(); fault != faults_.end(); ++fault) {
    if (fault->operation != operation || --fault->remaining > 0) continue;
    const Fault due = *fault;
    faults_.erase(fault);
    if (due.throws) throw Failure(error_number::kOutOfMemory, u"Out of memory");
    return due.code;
  }
  return std::nullopt;
}

std::int32_t InMemoryRegistryDouble::resolve(KeyHandle handle, std::shared_ptr<Key>& key) const {
  if (const auto root = roots_.find(handle); root != roots_.end()) {
    key = root->second;
  } else if (const auto open = handles_.find(handle); open != handles_.end()) {
    key = open->second;
  } else {
    return kErrorInvalidHandle;
  }
  return key->deleted ? kErrorKeyDeleted : kErrorSuccess;
}

std::int32_t InMemoryRegistryDouble::walk(std::shared_ptr<Key> from, std::string_view path, bool create,
                                          std::shared_ptr<Key>& found) const {
  if (!path.empty() && path.front() == '\\') return kErrorBadPathname;
  for (const std::string_view level : levels(path)) {
    auto next = from->subkeys.find(level);
    if (next == from->subkeys.end()) {
      if (!create) return kErrorFileNotFound;
      next = from->subkeys.emplace(std::string(level), std::make_shared<Key>()).first;
    }
    from = next->second;
  }
  found = std::move(from);
  return kErrorSuccess;
}

InMemoryRegistryDouble::KeyHandle InMemoryRegistryDouble::newHandle(std::shared_ptr<Key> key) {
  const KeyHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = std::move(key);
  return handle;
}

std::int32_t InMemoryRegistryDouble::openKey(KeyHandle root, const std::string& subKey, KeyHandle& opened) {
  opened = 0;
  if (const auto fault = journal("openKey")) return *fault;
  std::shared_ptr<Key> base;
  if (const std::int32_t rc = resolve(root, base); rc != kErrorSuccess) return rc;
  // RegOpenKey hands back the handle it was given when there is no subkey.
  if (subKey.empty()) {
    opened = root;
    return kErrorSuccess;
  }
  std::shared_ptr<Key> key;
  if (const std::int32_t rc = walk(base, subKey, false, key); rc != kErrorSuccess) return rc;
  opened = newHandle(std::move(key));
  return kErrorSuccess;
}

std::int32_t InMemoryRegistryDouble::openKeyEx(KeyHandle root, const std::string& subKey, std::uint32_t options,
                                               std::uint32_t desiredAccess, KeyHandle& opened) {
  opened = 0;
  std::ostringstream detail;
  detail << "options=" << options << " access=0x" << std::hex << desiredAccess;
  if (const auto fault = journal("openKeyEx", detail.str())) return *fault;
  std::shared_ptr<Key> base;
  if (const std::int32_t rc = resolve(root, base); rc != kErrorSuccess) return rc;
  std::shared_ptr<Key> key;
  if (const std::int32_t rc = walk(base, subKey, false, key); rc != kErrorSuccess) return rc;
  opened = newHandle(std::move(key));
  return kErrorSuccess;
}

std::int32_t InMemoryRegistryDouble::createKey(KeyHandle root, const std::string& subKey, KeyHandle& created) {
  created = 0;
  if (const auto fault = journal("createKey")) return *fault;
  std::shared_ptr<Key> base;
  if (const std::int32_t rc = resolve(root, base); rc != kErrorSuccess) return rc;
  if (subKey.empty()) {
    created = root;
    return kErrorSuccess;
  }
  std::shared_ptr<Key> key;
  if (const std::int32_t rc = walk(base, subKey, true, key); rc != kErrorSuccess) return rc;
  created = newHandle(std::move(key));
  return kErrorSuccess;
}

std::int32_t InMemoryRegistryDouble::queryValueEx(KeyHandle key, const std::string& valueName, std::uint32_t* type,
                                                  std::uint8_t* data, std::uint32_t* size) {
  const std::string detail =
      data == nullptr ? "size-only" : "size=" + (size == nullptr ? std::string("none") : std::to_string(*size));
  if (const auto fault = journal("queryValueEx", detail)) return *fault;
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
  std::shared_ptr<Key> node;
  if (const std::int32_t rc = resolve(key, node); rc != kErrorSuccess) return rc;
  const auto found = node->values.find(valueName);
  if (found == node->values.end()) return kErrorFileNotFound;
  const StoredValue& value = found->second;
  const auto length = static_cast<std::uint32_t>(value.bytes.size());
  if (type != nullptr) *type = value.type;
  if (data != nullptr) {
    if (*size < length) {
      *size = length;
      return kErrorMoreData;
    }
    std::memcpy(data, value.bytes.data(), length);
    // Windows terminates unterminated text when the buffer has room to spare.
    if (isStringType(value.type) && length > 0 && length < *size && value.bytes.back() != '\0') data[length] = 0;
  }
  if (size != nullptr) *size = length;
  return kErrorSuccess;
}

std::int32_t InMemoryRegistryDouble::setValueEx(KeyHandle key, const std::string& valueName, std::uint32_t type,
                                                const std::uint8_t* data, std::uint32_t size) {
  if (const auto fault = journal("setValueEx", "type=" + std::to_string(type) + " size=" + std::to_string(size))) {
    return *fault;
  }
  std::shared_ptr<Key> node;
  if (const std::int32_t rc = resolve(key, node); rc != kErrorSuccess) return rc;
  if (data == nullptr && size > 0) return kErrorNoAccess;
  node->values[valueName] = {type, size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size)};
  return kErrorSuccess;
}

std::int32_t InMemoryRegistryDouble::deleteValue(KeyHandle key, const std::string& valueName) {
  if (const auto fault = journal("deleteValue")) return *fault;
  std::shared_ptr<Key> node;
  if (const std::int32_t rc = resolve(key, node); rc != kErrorSuccess) return rc;
  return node->values.erase(valueName) == 1 ? kErrorSuccess : kErrorFileNotFound;
}

std::int32_t InMemoryRegistryDouble::deleteKey(KeyHandle root, const std::string& subKey) {
  if (const auto fault = journal("deleteKey")) return *fault;
  std::shared_ptr<Key> base;
  if (const std::int32_t rc = resolve(root, base); rc != kErrorSuccess) return rc;
  const std::vector<std::string_view> path = levels(subKey);
  // The roots themselves cannot go.
  if (path.empty()) return kErrorAccessDenied;
  std::shared_ptr<Key> parent;
  const std::string_view parentPath(subKey.data(), static_cast<std::size_t>(path.back().data() - subKey.data()));
  if (const std::int32_t rc = walk(base, parentPath, false, parent); rc != kErrorSuccess) return rc;
  const auto target = parent->subkeys.find(path.back());
  if (target == parent->subkeys.end()) return kErrorFileNotFound;
  // Not recursive, as on the NT family.
  if (!target->second->subkeys.empty()) return kErrorAccessDenied;
  target->second->deleted = true;
  parent->subkeys.erase(target);
  return kErrorSuccess;
}

std::int32_t InMemoryRegistryDouble::closeKey(KeyHandle key) {
  if (const auto fault = journal("closeKey")) return *fault;
  if (roots_.count(key) == 1) return kErrorSuccess;
  return handles_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

void InMemoryRegistryDouble::store(KeyHandle root, std::string_view path, std::string_view name, std::uint32_t type,
                                   std::string bytes) {
  std::shared_ptr<Key> key;
  if (walk(roots_.at(root), path, true, key) != kErrorSuccess) throw std::invalid_argument("bad path");
  key->values[std::string(name)] = {type, std::move(bytes)};
}

std::optional<InMemoryRegistryDouble::StoredValue> InMemoryRegistryDouble::stored(KeyHandle root, std::string_view path,
                                                                                  std::string_view name) const {
  std::shared_ptr<Key> key;
  if (walk(roots_.at(root), path, false, key) != kErrorSuccess) return std::nullopt;
  const auto found = key->values.find(name);
  if (found == key->values.end()) return std::nullopt;
  return found->second;
}

bool InMemoryRegistryDouble::hasKey(KeyHandle root, std::string_view path) const {
  std::shared_ptr<Key> key;
  return walk(roots_.at(root), path, false, key) == kErrorSuccess;
}

}  // namespace orv::testing
