#pragma once
// Hashing for maps keyed by std::string that are searched with a string_view, so a record's
// text is looked up without being copied; and the hash and comparison of the short keys every
// record looks up (a number's four bytes, a machine's name), inline, in loads of fixed size.
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace orvacct::logs {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

// Up to eight bytes as one word; left: 1 to 8 bytes from text. Two overlapping loads of four,
// or three single bytes, where a copy of any length would be a call.
inline std::uint64_t wordOf(const char* text, std::size_t left) {
  std::uint64_t word = 0;
  if (left >= 8) {
    std::memcpy(&word, text, 8);
  } else if (left >= 4) {
    std::uint32_t low = 0, high = 0;
    std::memcpy(&low, text, 4);
    std::memcpy(&high, text + left - 4, 4);
    word = low | std::uint64_t{high} << 32;
  } else {
    const auto byte = [&](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(text[i])}; };
    word = byte(0) | byte(left / 2) << 8 | byte(left - 1) << 16;
  }
  return word;
}

// A hash for short keys (a number's four bytes, a machine's name), a few multiplications a key:
// the index only needs its keys spread, and every record looks one up.
inline std::size_t keyHash(std::string_view key) {
  const auto mix = [](std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDu;
    return hash ^ (hash >> 32);
  };
  std::uint64_t hash = 0x9E3779B97F4A7C15u ^ key.size();
  for (std::size_t at = 0; at < key.size(); at += 8) hash = mix(hash, wordOf(key.data() + at, key.size() - at));
  hash *= 0xC4CEB9FE1A85EC53u;
  return static_cast<std::size_t>(hash ^ (hash >> 29));
}

// Whether two texts are the same bytes.
inline bool sameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t at = 0; at < a.size(); at += 8) {
    if (wordOf(a.data() + at, a.size() - at) != wordOf(b.data() + at, b.size() - at)) return false;
  }
  return true;
}

}  // namespace orvacct::logs
