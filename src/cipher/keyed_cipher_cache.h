#pragma once
// Keyed tables of recently used keys, so repeated password calls with one key pay the
// 521-encryption key schedule once. The cache hands out a clsBlowfish standing exactly where a
// fresh instance keyed once would, and takes it back to keep its tables; the key is converted
// once, and entries are found by the bytes the schedule cycles over, which is all it sees.
// Small and bounded; evicted and discarded entries are wiped.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "base/secret.h"
#include "cipher/clsBlowfish.h"

namespace orv::cipher {

class KeyedCipherCache {
 public:
  static constexpr std::size_t kCapacity = 8;

  KeyedCipherCache() = default;
  ~KeyedCipherCache();
  KeyedCipherCache(const KeyedCipherCache&) = delete;
  KeyedCipherCache& operator=(const KeyedCipherCache&) = delete;

  // A clsBlowfish with `key` applied once: from kept tables when the key was seen, else keyed
  // now. An empty key gives a fresh instance, as it applies no key.
  std::unique_ptr<clsBlowfish> take(const SecretText& key);

  // Keeps the tables of an instance that still holds the key it was taken with; releases it.
  void giveBack(std::unique_ptr<clsBlowfish> cipher) noexcept;

 private:
  struct Entry {
    SecretBytes keyBytes;
    BlowfishTables tables{};
    std::uint64_t lastUse = 0;  // 0: empty slot
  };
  static void wipe(Entry& entry) noexcept;
  const BlowfishTables* find(std::string_view keyBytes);
  void remember(std::string_view keyBytes, const BlowfishTables& keyedTables);

  std::array<Entry, kCapacity> entries_{};
  std::uint64_t clock_ = 0;
  // What the instance out on loan was taken with.
  SecretText lentKey_;
  SecretBytes lentKeyBytes_;
};

}  // namespace orv::cipher
