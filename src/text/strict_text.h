#pragma once
// Checks for input that the lenient conversions would silently change: text whose characters
// the ANSI code page cannot carry (they would become '?' or a look-alike), and bytes that are
// not UTF-8 (they would become U+FFFD). Keys and passwords must be refused, not altered.
#include <cstddef>
#include <optional>
#include <string_view>

namespace orv::text {

// The first character (a whole code point) of text that does not come back unchanged from the
// ANSI code page's bytes, or none when every character does.
std::optional<char32_t> firstUnrepresentable(std::u16string_view text);

// The offset of the first byte that does not belong to a well-formed UTF-8 sequence (overlong
// forms, surrogates and values beyond U+10FFFF included), or none for valid UTF-8.
std::optional<std::size_t> firstInvalidUtf8(std::string_view bytes);

}  // namespace orv::text
