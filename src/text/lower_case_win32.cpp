// On Windows the system lowers: the invariant locale's simple case mapping, as file names take it.
#include <windows.h>

#include "text/lower_case.h"

namespace orv::text {

void appendLowerCase(std::u16string& out, std::u16string_view text) {
  if (text.empty()) return;
  const auto* source = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const std::size_t start = out.size();
  out.resize(start + text.size());  // one to one: the length never changes
  const int written = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, source, length,
                                    reinterpret_cast<wchar_t*>(out.data() + start), length, nullptr, nullptr, 0);
  if (written != length) {
    // The mapping the system would have used, should it refuse.
    out.resize(start);
    for (const char16_t c : text) out += c >= 0xD800 && c <= 0xDFFF ? c : static_cast<char16_t>(lowerCaseCodePoint(c));
  }
}

}  // namespace orv::text
