#pragma once
// A single-byte code page as two lookup tables, so conversion is one load per character.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv::text {

class SingleByteTable {
 public:
  // toUnicode[b] is the character of byte b.
  explicit SingleByteTable(const std::array<char16_t, 256>& toUnicode);

  std::string toBytes(std::u16string_view text) const;
  void appendBytes(std::string& out, std::u16string_view text) const;
  std::u16string toText(std::string_view bytes) const;

 private:
  static constexpr std::int16_t kUnmapped = -1;
  std::array<char16_t, 256> toUnicode_;
  std::vector<std::int16_t> fromUnicode_;  // 65536 entries: byte value or kUnmapped
};

}  // namespace orv::text
