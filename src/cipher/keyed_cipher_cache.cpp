#include "cipher/keyed_cipher_cache.h"

#include <algorithm>

#include "cipher/key_bytes.h"
#include "base/secure_wipe.h"

namespace orv::cipher {

KeyedCipherCache::~KeyedCipherCache() {
  for (Entry& entry : entries_) wipe(entry);
}

void KeyedCipherCache::wipe(Entry& entry) noexcept {
  entry.keyBytes.clear();
  secureWipe(&entry.tables, sizeof entry.tables);
  entry.lastUse = 0;
}

std::unique_ptr<clsBlowfish> KeyedCipherCache::take(const SecretText& key) {
  lentKey_.clear();
  lentKeyBytes_.clear();
  if (key.empty()) return std::make_unique<clsBlowfish>();
  SecretBytes keyBytes = keyScheduleBytes(key.view());
  std::unique_ptr<clsBlowfish> cipher;
  if (const BlowfishTables* keyed = find(keyBytes.view())) {
    cipher.reset(new clsBlowfish(*keyed, key));
  } else {
    cipher = std::make_unique<clsBlowfish>();
    cipher->applyKey(key.view(), keyBytes.view());
  }
  lentKey_ = key;
  lentKeyBytes_ = std::move(keyBytes);
  return cipher;
}

void KeyedCipherCache::giveBack(std::unique_ptr<clsBlowfish> cipher) noexcept {
  // Only an instance that still holds the one key it was taken with has tables worth keeping.
  if (cipher && !lentKey_.empty() && cipher->currentKey() == lentKey_) {
    try {
      remember(lentKeyBytes_.view(), cipher->tables());
    } catch (...) {
      // Not kept: the next call pays the key schedule again.
    }
  }
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
  slot.keyBytes = SecretBytes(keyBytes);
  slot.tables = keyedTables;
  slot.lastUse = ++clock_;
}

}  // namespace orv::cipher
