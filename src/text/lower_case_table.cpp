#include <algorithm>
#include <array>
#include <cstdint>

#include "text/lower_case.h"

namespace orv::text {
namespace {

struct LowerCaseRun {
  char32_t first;
  char32_t last;
  std::int32_t stride;
  std::int32_t delta;
};

constexpr LowerCaseRun kRuns[] = {
#include "text/lower_case_table.inc"
};

}  // namespace

char32_t lowerCaseCodePoint(char32_t c) noexcept {
  if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + 32 : c;
  const auto* run = std::upper_bound(std::begin(kRuns), std::end(kRuns), c,
                                     [](char32_t value, const LowerCaseRun& r) { return value < r.first; });
  if (run == std::begin(kRuns)) return c;
  --run;
  if (c > run->last || (c - run->first) % static_cast<char32_t>(run->stride) != 0) return c;
  return static_cast<char32_t>(static_cast<std::int32_t>(c) + run->delta);
}

#ifndef _WIN32
void appendLowerCase(std::u16string& out, std::u16string_view text) {
  out.reserve(out.size() + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool pair =
        unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (!pair) {
      // Unpaired surrogates stay as they are; every other code unit is a code point.
      out += unit >= 0xD800 && unit <= 0xDFFF ? unit : static_cast<char16_t>(lowerCaseCodePoint(unit));
      continue;
    }
    const char32_t c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    const char32_t lowered = lowerCaseCodePoint(c);
    out += static_cast<char16_t>(0xD800 + ((lowered - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((lowered - 0x10000) & 0x3FF));
    ++i;
  }
}
#endif

}  // namespace orv::text
