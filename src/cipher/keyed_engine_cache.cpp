#include "cipher/keyed_engine_cache.h"

#include <algorithm>

#include "cipher/secure_wipe.h"

namespace orv::cipher {

KeyedEngineCache::~KeyedEngineCache() {
  for (Entry& entry : entries_) wipe(entry);
}

void KeyedEngineCache::wipe(Entry& entry) noexcept {
  secureWipe(entry.keyBytes);
  secureWipe(&entry.tables, sizeof entry.tables);
  entry.lastUse = 0;
}

const BlowfishTables* KeyedEngineCache::find(std::string_view keyBytes) {
  for (Entry& entry : entries_) {
    if (entry.lastUse != 0 && entry.keyBytes == keyBytes) {
      entry.lastUse = ++clock_;
      return &entry.tables;
    }
  }
  return nullptr;
}

void KeyedEngineCache::remember(std::string_view keyBytes, const BlowfishTables& keyedTables) {
  if (find(keyBytes) != nullptr) return;
  Entry& slot = *std::min_element(entries_.begin(), entries_.end(),
                                  [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
  wipe(slot);
  slot.keyBytes.assign(keyBytes);
  slot.tables = keyedTables;
  slot.lastUse = ++clock_;
}

}  // namespace orv::cipher
