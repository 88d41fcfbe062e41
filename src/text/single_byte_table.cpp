#include "text/single_byte_table.h"

namespace orv::text {

SingleByteTable::SingleByteTable(const std::array<char16_t, 256>& toUnicode)
    : toUnicode_(toUnicode), fromUnicode_(65536, kUnmapped) {
  // Fill from the top so that, should two bytes share a character, the lower byte wins.
  for (int b = 255; b >= 0; --b) fromUnicode_[toUnicode_[b]] = static_cast<std::int16_t>(b);
}

std::string SingleByteTable::toBytes(std::u16string_view text) const {
  std::string bytes;
  appendBytes(bytes, text);
  return bytes;
}

void SingleByteTable::appendBytes(std::string& out, std::u16string_view text) const {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  // Plain pointers: stores through a char pointer would otherwise make the compiler reload
  // the table and the string's buffer for every character.
  char* const bytes = out.data() + start;
  const std::int16_t* const table = fromUnicode_.data();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::int16_t b = table[text[i]];
    bytes[i] = static_cast<char>(b == kUnmapped ? '?' : b);
  }
}

std::u16string SingleByteTable::toText(std::string_view bytes) const {
  std::u16string text(bytes.size(), u'\0');
  char16_t* const chars = text.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) chars[i] = toUnicode_[static_cast<unsigned char>(bytes[i])];
  return text;
}

}  // namespace orv::text
