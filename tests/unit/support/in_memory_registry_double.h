#pragma once
// Test double of the registry: an in-memory tree with the Windows semantics the Reg_ methods
// meet (case-insensitive names, typed values stored as raw bytes, ERROR_MORE_DATA with the
// size needed, deletion refused for a key with subkeys, handles that must be closed). It
// also keeps a journal of calls and can make one call fail, so tests can check call
// sequences and failure paths.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/registry_api.h"

namespace orv::testing {

class InMemoryRegistryDouble final : public registry::RegistryApi {
 public:
  using KeyHandle = registry::KeyHandle;

  struct StoredValue {
    std::uint32_t type = 0;
    std::string bytes;
    bool operator==(const StoredValue&) const = default;
  };

  InMemoryRegistryDouble();
  ~InMemoryRegistryDouble() override;

  std::int32_t openKey(KeyHandle root, const std::string& subKey, KeyHandle& opened) override;
  std::int32_t openKeyEx(KeyHandle root, const std::string& subKey, std::uint32_t options,
                         std::uint32_t desiredAccess, KeyHandle& opened) override;
  std::int32_t createKey(KeyHandle root, const std::string& subKey, KeyHandle& created) override;
  std::int32_t queryValueEx(KeyHandle key, const std::string& valueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override;
  std::int32_t setValueEx(KeyHandle key, const std::string& valueName, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) override;
  std::int32_t deleteValue(KeyHandle key, const std::string& valueName) override;
  std::int32_t deleteKey(KeyHandle root, const std::string& subKey) override;
  std::int32_t closeKey(KeyHandle key) override;

  // As another program would write: missing levels are created, the bytes stored as given.
  void store(KeyHandle root, std::string_view path, std::string_view name, std::uint32_t type, std::string bytes);
  std::optional<StoredValue> stored(KeyHandle root, std::string_view path, std::string_view name) const;
  bool hasKey(KeyHandle root, std::string_view path) const;

  std::size_t openHandleCount() const { return handles_.size(); }

  // One line per call: the operation and the arguments that shape it, e.g.
  // "openKeyEx options=0 access=0x20019", "queryValueEx size-only", "queryValueEx size=4".
  const std::vector<std::string>& calls() const { return calls_; }
  void clearCalls() { calls_.clear(); }

  // The nth call of operation from now (counting from 1) answers code and does nothing.
  void failCall(std::string operation, int nth, std::int32_t code);
  // The next call of operation throws, as a failing step of the caller would.
  void throwOnCall(std::string operation);

 private:
  struct Key;
  struct NameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  struct Fault {
    std::string operation;
    int remaining;
    std::int32_t code;
    bool throws;
  };

  std::optional<std::int32_t> journal(std::string operation, std::string detail = {});
  std::int32_t resolve(KeyHandle handle, std::shared_ptr<Key>& key) const;
  std::int32_t walk(std::shared_ptr<Key> from, std::string_view path, bool create, std::shared_ptr<Key>& found) const;
  KeyHandle newHandle(std::shared_ptr<Key> key);

  std::map<KeyHandle, std::shared_ptr<Key>> roots_;
  std::map<KeyHandle, std::shared_ptr<Key>> handles_;
  KeyHandle nextHandle_ = 0x1000;
  std::vector<std::string> calls_;
  std::vector<Fault> faults_;
};

}  // namespace orv::testing
