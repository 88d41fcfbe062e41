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
#include <unordered_map>
#include <utility>
#include <vector>

#include "logs/text_hash.h"

namespace orvacct::logs {

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
    if (last_ < entries_.size() && entries_[last_].key == key) return count(last_, weight);
    if (const auto found = index_.find(key); found != index_.end()) {
      last_ = found->second;
      return count(last_, weight);
    }
    if (capacity_ == 0 || entries_.size() < capacity_) {
      const std::size_t at = entries_.size();
      last_ = at;
      entries_.push_back({std::string(key), weight, 0, Payload{}});
      index_.emplace(entries_.back().key, at);
      if (capacity_ > 0) {
        heap_.push_back(at);
        position_.push_back(heap_.size() - 1);
        siftUp(heap_.size() - 1);
      }
      return entries_.back();
    }
    ++replaced_;
    const std::size_t at = heap_.front();
    last_ = at;
    Entry& entry = entries_[at];
    index_.erase(entry.key);
    const std::uint64_t inherited = entry.count;
    entry = Entry{std::string(key), inherited + weight, inherited, Payload{}};
    index_.emplace(entry.key, at);
    siftDown(0);
    return entry;
  }

  // Whether any count may be too high: a key was replaced.
  bool estimated() const { return replaced_ > 0; }
  const std::deque<Entry>& entries() const { return entries_; }

 private:
  Entry& count(std::size_t at, std::uint64_t weight) {
    Entry& entry = entries_[at];
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
  std::size_t last_ = 0;  // the entry added to last
  std::deque<Entry> entries_;  // never moved, so the index can view their keys
  std::unordered_map<std::string_view, std::size_t, TextHash, std::equal_to<>> index_;
  std::vector<std::size_t> heap_;      // entries by count, the least first
  std::vector<std::size_t> position_;  // of each entry in heap_
};

}  // namespace orvacct::logs
