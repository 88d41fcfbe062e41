#include "util/detick.h"

#include <algorithm>

namespace orv::util {

std::u16string doubleApostrophes(std::u16string_view text) {
  const auto count = static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\''));
  std::u16string doubled;
  doubled.reserve(text.size() + count);
  for (const char16_t c : text) {
    doubled.push_back(c);
    if (c == u'\'') doubled.push_back(u'\'');
  }
  return doubled;
}

}  // namespace orv::util
