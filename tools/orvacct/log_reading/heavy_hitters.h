#pragma once
// Counts per key in bounded memory, for groups of which only the largest are shown (Space-Saving:
// Metwally, Agrawal and El Abbadi, 2005). At most `capacity` keys are held; a new key takes the
// place of the least counted one and inherits its count, which it may never have had: that much
// is its overcount. Counts are exact as long as no key was ever replaced; after that each is at
// most its overcount too high, and every key counted more than total/capacity times is held.
// Capacity 0 holds every key, exactly. Which key goes depends only on the order of the stream.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "log_reading/text_hash.h"

namespace orvacct::logs {

// Where each held key's entry is, for a search once per record: open addressing with linear
// probing in a table at most half full, each slot holding its key's hash, so a key's bytes are
// compared only when the hashes agree, and nothing is allocated as keys come and go.
class EntryIndex {
 public:
  static constexpr std::size_t kNone = SIZE_MAX;

  // keyOf(entry) gives an entry's key.
  template <class KeyOf>
  std::size_t find(std::size_t hash, std::string_view key, const KeyOf& keyOf) const {
    if (slots_.empty()) return kNone;
    for (std::size_t at = hash & mask();; at = (at + 1) & mask()) {
      const Slot& slot = slots_[at];
      if (slot.entry == kNone) return kNone;
      if (slot.hash == hash && sameText(keyOf(slot.entry), key)) return slot.entry;
    }
  }

  void insert(std::size_t hash, std::size_t entry) {
    if (2 * (held_ + 1) > slots_.size()) grow();
    ++held_;
    place({hash, entry});
  }

  void erase(std::size_t hash, std::size_t entry) {
    std::size_t hole = hash & mask();
    while (slots_[hole].entry != entry) hole = (hole + 1) & mask();
    --held_;
    // Later slots of the run move back into the hole unless that would put them before their
    // home slot, so every search still meets its key before an empty slot.
    for (std::size_t at = (hole + 1) & mask(); slots_[at].entry != kNone; at = (at + 1) & mask()) {
      const std::size_t home = slots_[at].hash & mask();
      if (((at - home) & mask()) >= ((at - hole) & mask())) {
        slots_[hole] = slots_[at];
        hole = at;
      }
    }
    slots_[hole] = Slot{};
  }

 private:
  struct Slot {
    std::size_t hash = 0;
    std::size_t entry = kNone;
  };

  std::size_t mask() const { return slots_.size() - 1; }

  void place(Slot slot) {
    std::size_t at = slot.hash & mask();
    while (slots_[at].entry != kNone) at = (at + 1) & mask();
    slots_[at] = slot;
  }

  void grow() {
    std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.entry != kNone) place(slot);
    }
  }

  std::vector<Slot> slots_;  // a power of two of them
  std::size_t held_ = 0;
};

template <class Payload>
class HeavyHitters {
 public:
  struct Entry {
    std::string key;
    std::uint64_t count = 0;
    std::uint64_t overcount = 0;
    Payload payload{};
  };

  explicit HeavyHitters(std::size_t capacity = 0) : capacity_(capacity) {}

  // The key's entry, counted `weight` more times (0 to have it held without counting it). A
  // reference stays good until the next call.
  Entry& add(std::string_view key, std::uint64_t weight = 1) {
    // A file's records mostly repeat the key before (its machine, its version): no hashing then.
    if (last_.entry != nullptr && sameText(last_.entry->key, key)) return count(*last_.entry, last_.at, weight);
    const std::size_t hash = keyHash(key);
    const auto keyOf = [this](std::size_t at) -> std::string_view { return entries_[at].key; };
    if (const std::size_t found = index_.find(hash, key, keyOf); found != EntryIndex::kNone) {
      return count(remember(found), found, weight);
    }
    if (capacity_ == 0 || entries_.size() < capacity_) {
      const std::size_t at = entries_.size();
      entries_.push_back({std::string(key), weight, 0, Payload{}});
      remember(at);
      index_.insert(hash, at);
      if (capacity_ > 0) {
        heap_.push_back(at);
        position_.push_back(heap_.size() - 1);
        siftUp(heap_.size() - 1);
      }
      return entries_.back();
    }
    ++replaced_;
    const std::size_t at = heap_.front();
    Entry& entry = remember(at);
    index_.erase(keyHash(entry.key), at);
    const std::uint64_t inherited = entry.count;
    entry = Entry{std::string(key), inherited + weight, inherited, Payload{}};
    index_.insert(hash, at);
    siftDown(0);
    return entry;
  }

  // Whether any count may be too high: a key was replaced.
  bool estimated() const { return replaced_ > 0; }
  const std::deque<Entry>& entries() const { return entries_; }

 private:
  // Entries never move, so the one added to last is kept by its address.
  Entry& remember(std::size_t at) {
    Entry& entry = entries_[at];
    last_ = {&entry, at};
    return entry;
  }
  Entry& count(Entry& entry, std::size_t at, std::uint64_t weight) {
    entry.count += weight;
    if (capacity_ > 0) siftDown(position_[at]);
    return entry;
  }
  bool less(std::size_t a, std::size_t b) const { return entries_[heap_[a]].count < entries_[heap_[b]].count; }
  void swapAt(std::size_t a, std::size_t b) {
    std::swap(heap_[a], heap_[b]);
    position_[heap_[a]] = a;
    position_[heap_[b]] = b;
  }
  void siftUp(std::size_t at) {
    while (at > 0 && less(at, (at - 1) / 2)) {
      swapAt(at, (at - 1) / 2);
      at = (at - 1) / 2;
    }
  }
  void siftDown(std::size_t at) {
    for (;;) {
      const std::size_t left = 2 * at + 1, right = left + 1;
      std::size_t least = at;
      if (left < heap_.size() && less(left, least)) least = left;
      if (right < heap_.size() && less(right, least)) least = right;
      if (least == at) return;
      swapAt(at, least);
      at = least;
    }
  }

  std::size_t capacity_;
  std::uint64_t replaced_ = 0;
  // The entry added to last, and where it is; a copy forgets it, its entries being elsewhere.
  struct LastEntry {
    Entry* entry = nullptr;
    std::size_t at = 0;
    LastEntry() = default;
    LastEntry(Entry* e, std::size_t a) : entry(e), at(a) {}
    LastEntry(const LastEntry&) {}
    LastEntry& operator=(const LastEntry&) {
      entry = nullptr;
      return *this;
    }
  } last_;
  std::deque<Entry> entries_;
  EntryIndex index_;
  std::vector<std::size_t> heap_;      // entries by count, the least first
  std::vector<std::size_t> position_;  // of each entry in heap_
};

}  // namespace orvacct::logs
