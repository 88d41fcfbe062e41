#pragma once
// The one test a code page must pass to read text a Windows machine wrote in its ANSI code page.
#include <string>
#include <string_view>

namespace orv::text {

// True when each ASCII byte, read alone, is that character: true of every Windows ANSI code page
// (single-byte, double-byte and UTF-8), false of UTF-7 ('+', '~'), UTF-16 and EBCDIC.
template <class Decode>
bool readsAsciiAsItself(Decode decode) {
  for (int value = 0; value < 0x80; ++value) {
    const char byte = static_cast<char>(value);
    if (decode(std::string_view(&byte, 1)) != std::u16string(1, static_cast<char16_t>(value))) return false;
  }
  return true;
}

}  // namespace orv::text
