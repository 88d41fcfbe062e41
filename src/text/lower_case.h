#pragma once
// Lower case for log file names: the letters of the Latin-1 repertoire, as the component has
// always named its files.
#include <string_view>

namespace orv::text {

constexpr char16_t lowerCaseLetter(char16_t c) {
  const bool upper = (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
  return upper ? static_cast<char16_t>(c + 32) : c;
}

}  // namespace orv::text
