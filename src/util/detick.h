#pragma once
#include <string>
#include <string_view>

namespace orv::util {

// Doubles every apostrophe, for an SQL string literal. Nothing else changes.
std::u16string doubleApostrophes(std::u16string_view text);

}  // namespace orv::util
