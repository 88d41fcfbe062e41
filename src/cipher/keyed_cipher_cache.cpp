#include "cipher/keyed_cipher_cache.h"

#include <algorithm>

#include "cipher/key_bytes.h"
#include "base/secure_wipe.h"

namespace orv::cipher {

KeyedCipherCache::~KeyedCipherCache() {
  for (Entry& entry : entries_) wipe(entry);
  secureWipe(lentKey_);
  secureWipe(lentKeyBytes_);
}

void KeyedCipherCache::wipe(Entry& entry) noexcept {
  secureWipe(entry.keyBytes);
  secureWipe(&entry.tables, sizeof entry.tables);
  entry.lastUse = 0;
}

std::unique_ptr<clsBlowfish> KeyedCipherCache::take(const std::u16string& key) {
  secureWipe(lentKey_);
  secureWipe(lentKeyBytes_);
  lentKey_.clear();
  lentKeyBytes_.clear();
  if (key.empty()) return std::make_unique<clsBlowfish>();
  std::string keyBytes = keyScheduleBytes(key);
  std::unique_ptr<clsBlowfish> cipher;
  if (const BlowfishTables* keyed = find(keyBytes)) {
    cipher.reset(new clsBlowfish(*keyed, key));
  } else {
    cipher = std::make_unique<clsBlowfish>();
    cipher->applyKey(key, keyBytes);
  }
  lentKey_ = key;
  lentKeyBytes_ = std::move(keyBytes);
  return cipher;
}

void KeyedCipherCache::giveBack(std::unique_ptr<clsBlowfish> cipher) noexcept {
  // Only an instance that still holds the one key it was taken with has tables worth keeping.
  if (cipher && !lentKey_.empty() && cipher->currentKey() == lentKey_) {
    try {
      remember(lentKeyBytes_, cipher->tables());
    } catch (...) {
      // Not kept: the next call pays the key schedule again.
    }
  }
  secureWipe(lentKey_);
  secureWipe(lentKeyBytes_);
  lentKey_.clear();
  lentKeyBytes_.clear();
}

const BlowfishTables* KeyedCipherCache::find(std::string_view keyBytes) {
  for (Entry& entry : entries_) {
    if (entry.lastUse != 0 && entry.keyBytes == keyBytes) {
      entry.lastUse = ++clock_;
      return &entry.tables;
    }
  }
  return nullptr;
}

void KeyedCipherCache::remember(std::string_view keyBytes, const BlowfishTables& keyedTables) {
  if (find(keyBytes) != nullptr) return;
  Entry& slot = *std::min_element(entries_.begin(), entries_.end(),
                                  [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
  wipe(slot);
  slot.keyBytes.assign(keyBytes);
  slot.tables = keyedTables;
  slot.lastUse = ++clock_;
}

}  // namespace orv::cipher
