#pragma once
// Owns the one key a Reg_ method opens or creates. The method closes it explicitly as its last
// step, keeping that call and its result code in sequence; the destructor closes it only if
// that step never ran, so no path leaves a key open.
#include "registry/registry_api.h"

namespace orv::registry {

class ScopedKey {
 public:
  explicit ScopedKey(RegistryApi& api) noexcept : api_(api) {}
  // A key already opened.
  ScopedKey(RegistryApi& api, KeyHandle opened) noexcept : api_(api), handle_(opened) {}
  ~ScopedKey() {
    if (!closed_ && !borrowed_) api_.closeKey(handle_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  // The out-parameter of an open or create call; starts at 0 so a failed call leaves 0.
  KeyHandle& receive() noexcept { return handle_; }
  KeyHandle get() const noexcept { return handle_; }

  // Closes the key whatever the open answered, as the methods always have: closing handle 0
  // is a harmless failure. A borrowed handle is not this key's to close.
  std::int32_t close() noexcept {
    closed_ = true;
    return borrowed_ ? kErrorSuccess : api_.closeKey(handle_);
  }

  // The open or create handed back a handle the caller already owned (the root itself, for an
  // empty path): closing it would close the caller's handle, perhaps not even a key.
  void borrowed() noexcept { borrowed_ = true; }

 private:
  RegistryApi& api_;
  KeyHandle handle_ = 0;
  bool closed_ = false;
  bool borrowed_ = false;
};

}  // namespace orv::registry
