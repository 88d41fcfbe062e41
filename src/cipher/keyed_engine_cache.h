#pragma once
// Keyed tables of recently used keys, so repeated password calls with one key pay the
// 521-encryption key schedule once. Keyed by the bytes the schedule cycles over
// (keyScheduleBytes), which is all it sees. Small and bounded; evicted and discarded entries are wiped.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cipher/blowfish_engine.h"

namespace orv::cipher {

class KeyedEngineCache {
 public:
  static constexpr std::size_t kCapacity = 8;

  KeyedEngineCache() = default;
  ~KeyedEngineCache();
  KeyedEngineCache(const KeyedEngineCache&) = delete;
  KeyedEngineCache& operator=(const KeyedEngineCache&) = delete;

  // The tables of a fresh engine keyed once with these bytes, or null. Valid until the
  // next remember().
  const BlowfishTables* find(std::string_view keyBytes);

  // Keeps the tables, displacing the least recently used entry when full.
  void remember(std::string_view keyBytes, const BlowfishTables& keyedTables);

 private:
  struct Entry {
    std::string keyBytes;
    BlowfishTables tables{};
    std::uint64_t lastUse = 0;  // 0: empty slot
  };
  static void wipe(Entry& entry) noexcept;

  std::array<Entry, kCapacity> entries_{};
  std::uint64_t clock_ = 0;
};

}  // namespace orv::cipher
