#pragma once
// The log state's encoding: unsigned numbers in seven-bit groups, signed ones zigzagged, texts
// after their length. Reading never trusts a length: one longer than what is left is damage.
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvacct::logs {

// The state's bytes are not what they should be; what() says where.
class StateDamaged : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline void putNumber(std::string& out, std::uint64_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

inline void putSigned(std::string& out, std::int64_t value) {
  putNumber(out, (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63));
}

inline void putFixed(std::string& out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>(value >> (8 * i));
}

inline void putText(std::string& out, std::string_view text) {
  putNumber(out, text.size());
  out += text;
}

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  std::uint64_t number() {
    // Most numbers of a state (steps of lines and times, small indexes) take one byte.
    if (at_ < bytes_.size() && static_cast<unsigned char>(bytes_[at_]) < 0x80) {
      return static_cast<unsigned char>(bytes_[at_++]);
    }
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (at_ == bytes_.size()) throw StateDamaged("ends inside a number");
      const auto byte = static_cast<unsigned char>(bytes_[at_++]);
      value |= std::uint64_t{byte & 0x7Fu} << shift;
      if ((byte & 0x80) == 0) return value;
    }
    throw StateDamaged("a number too long");
  }
  std::int64_t signedNumber() {
    const std::uint64_t value = number();
    return static_cast<std::int64_t>((value >> 1) ^ (~(value & 1) + 1));
  }
  std::uint64_t fixed() {
    const std::string_view bytes = take(8);
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    return value;
  }
  std::string_view text() { return take(number()); }
  std::string_view take(std::uint64_t size) {
    if (size > bytes_.size() - at_) throw StateDamaged("a length past its end");
    const std::string_view taken = bytes_.substr(at_, static_cast<std::size_t>(size));
    at_ += static_cast<std::size_t>(size);
    return taken;
  }
  // A count of things each at least `least` bytes long, checked against what is left.
  std::size_t count(std::size_t least = 1) {
    const std::uint64_t value = number();
    if (value > (bytes_.size() - at_) / least) throw StateDamaged("a count past its end");
    return static_cast<std::size_t>(value);
  }
  std::size_t at() const { return at_; }
  // The bytes taken since `from`.
  std::string_view since(std::size_t from) const { return bytes_.substr(from, at_ - from); }
  bool done() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// FNV-1a over 64 bits: enough to tell bytes that changed, not meant to resist forgery.
inline std::uint64_t bytesHash(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

// A check of a whole state's bytes, eight at a time so it costs little beside reading them.
inline std::uint64_t bytesChecksum(std::string_view bytes) {
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ bytes.size();
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 32;
  }
  return hash ^ bytesHash(bytes.substr(at));
}

}  // namespace orvacct::logs
