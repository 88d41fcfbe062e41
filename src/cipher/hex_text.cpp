#include "cipher/hex_text.h"

#include "cipher/blowfish_engine.h"

namespace orv::cipher {
namespace {

constexpr int kNotADigit = -1;
constexpr char kDigits[] = "0123456789ABCDEF";

template <class Char>
int digitValue(Char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return kNotADigit;
}

template <class Char>
std::basic_string<Char> hexOf(std::string_view bytes) {
  std::basic_string<Char> text(bytes.size() * 2, Char('0'));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    text[2 * i] = static_cast<Char>(kDigits[b >> 4]);
    text[2 * i + 1] = static_cast<Char>(kDigits[b & 0xF]);
  }
  return text;
}

template <class Char>
std::string bytesOf(std::basic_string_view<Char> text) {
  std::string bytes((text.size() + 1) / 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = digitValue(text[2 * i]);
    if (high == kNotADigit) continue;  // stays 0
    const int low = 2 * i + 1 < text.size() ? digitValue(text[2 * i + 1]) : kNotADigit;
    bytes[i] = static_cast<char>(low == kNotADigit ? high : high * 16 + low);
  }
  return bytes;
}

template <class Char>
bool pairsOnly(std::basic_string_view<Char> text) {
  if (text.size() % 2 != 0) return false;
  for (const Char c : text) {
    if (digitValue(c) == kNotADigit) return false;
  }
  return true;
}

}  // namespace

std::u16string toHexText(std::string_view bytes) { return hexOf<char16_t>(bytes); }
std::string toHexDigits(std::string_view bytes) { return hexOf<char>(bytes); }

std::string bytesFromHexText(std::u16string_view text) { return bytesOf(text); }
std::string bytesFromHexText(std::string_view text) { return bytesOf(text); }

bool isHexPairs(std::u16string_view text) { return pairsOnly(text); }

std::optional<std::size_t> firstNonHexDigit(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (digitValue(text[i]) == kNotADigit) return i;
  }
  return std::nullopt;
}
bool isHexPairs(std::string_view text) { return pairsOnly(text); }

bool isCipherTextLength(std::size_t hexDigits) {
  constexpr std::size_t kBlockDigits = 2 * kBlockSize;
  return hexDigits % kBlockDigits == 0 && hexDigits >= 2 * kBlockDigits;
}

}  // namespace orv::cipher
