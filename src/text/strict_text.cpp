#include "text/strict_text.h"

#include <string>

#include "text/ansi_codepage.h"

namespace orv::text {
namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::optional<char32_t> firstUnrepresentable(std::u16string_view text) {
  // The whole text first: nearly every text passes, at the cost of two conversions.
  if (fromAnsi(toAnsi(text)) == text) return std::nullopt;
  // Then one code point at a time, since a multi-byte code page has no per-unit positions.
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t units = isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]) ? 2 : 1;
    const std::u16string_view one = text.substr(i, units);
    if (fromAnsi(toAnsi(one)) != one) {
      return units == 2 ? 0x10000 + ((char32_t{one[0]} - 0xD800) << 10) + (char32_t{one[1]} - 0xDC00)
                        : char32_t{one[0]};
    }
    i += units;
  }
  // Every character alone survives but the whole does not (a code page with shift states):
  // blame the first character, which is as good a guess as any.
  return text.empty() ? std::nullopt : std::optional<char32_t>(text[0]);
}

std::optional<std::size_t> firstInvalidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    // The second byte's range carries the rules against overlong forms, surrogates and
    // values beyond U+10FFFF (the table of well-formed sequences in the Unicode standard).
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return i;
    }
    if (i + length > bytes.size()) return i;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second < low || second > high) return i;
    for (std::size_t k = 2; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return i;
    }
    i += length;
  }
  return std::nullopt;
}

}  // namespace orv::text
