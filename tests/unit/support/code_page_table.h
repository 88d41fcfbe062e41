#pragma once
// A code page's conversion in one canonical text: every character of the Basic Multilingual
// Plane that comes back unchanged from its bytes, as "XXXX BYTES" lines. Windows' own conversion
// (under Wine) and the portable one (iconv with Windows' additions) are each reduced to this
// text's digest, and both must give the digest recorded in tests/data/codepages/.
#include <cstdint>
#include <cstdio>
#include <string>

namespace orv::testing {

struct CodePageTable {
  std::uint64_t digest = 0xcbf29ce484222325ULL;  // FNV-1a, 64 bits
  std::size_t characters = 0;                    // characters that survive the round trip
};

// toBytes(char16_t) gives the code page's bytes; fromBytes(bytes) the text they stand for.
template <class ToBytes, class FromBytes>
CodePageTable codePageTable(ToBytes toBytes, FromBytes fromBytes, std::FILE* listing = nullptr) {
  CodePageTable table;
  for (std::uint32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const char16_t character = static_cast<char16_t>(c);
    const std::string bytes = toBytes(character);
    if (fromBytes(bytes) != std::u16string(1, character)) continue;
    char line[32];
    int length = std::snprintf(line, sizeof line, "%04X ", static_cast<unsigned>(c));
    for (const char b : bytes)
      length += std::snprintf(line + length, sizeof line - length, "%02X", static_cast<unsigned char>(b));
    line[length++] = '\n';
    for (int i = 0; i < length; ++i)
      table.digest = (table.digest ^ static_cast<unsigned char>(line[i])) * 0x100000001b3ULL;
    if (listing != nullptr) std::fwrite(line, 1, static_cast<std::size_t>(length), listing);
    ++table.characters;
  }
  return table;
}

}  // namespace orv::testing
