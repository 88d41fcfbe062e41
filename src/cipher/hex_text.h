#pragma once
// The hexadecimal text form of cipher data: two upper-case digits per byte, no separators.
// The component's texts are 16-bit; the 8-bit forms serve the command line and the vector files.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orv::cipher {

std::u16string toHexText(std::string_view bytes);
std::string toHexDigits(std::string_view bytes);

// Lenient, as stored texts have always been read: each pair of characters gives one byte;
// a pair whose first character is no hex digit gives 0, one whose second is none gives the
// first digit's value, and an odd length ends with a one-digit group.
std::string bytesFromHexText(std::u16string_view text);
std::string bytesFromHexText(std::string_view text);

// Strict: true when the text is pairs of hex digits only (the tool's check on its input).
bool isHexPairs(std::u16string_view text);
bool isHexPairs(std::string_view text);

// True when this many hex digits can be cipher text: cipher data is whole 8-byte blocks, and the
// random words and the size descriptor alone take more than one.
bool isCipherTextLength(std::size_t hexDigits);

// Where the first character that is no hex digit stands, or none.
std::optional<std::size_t> firstNonHexDigit(std::u16string_view text);

}  // namespace orv::cipher
