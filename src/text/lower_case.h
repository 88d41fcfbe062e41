#pragma once
// Lower case for log file names: Unicode's simple case mapping (one character to one), the same
// in the writer and the purge and on every platform (Windows lowers through the system). Names
// that earlier versions wrote, which lowered only A-Z and the Latin-1 capitals, read the same.
#include <string>
#include <string_view>

namespace orv::text {

// The portable mapping, for one code point.
char32_t lowerCaseCodePoint(char32_t c) noexcept;

void appendLowerCase(std::u16string& out, std::u16string_view text);

inline std::u16string lowerCase(std::u16string_view text) {
  std::u16string lowered;
  appendLowerCase(lowered, text);
  return lowered;
}

}  // namespace orv::text
