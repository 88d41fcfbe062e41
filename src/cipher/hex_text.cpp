#include "cipher/hex_text.h"

namespace orv::cipher {
namespace {

constexpr int kNotADigit = -1;

int digitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return kNotADigit;
}

}  // namespace

std::u16string toHexText(std::string_view bytes) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text(bytes.size() * 2, u'0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    text[2 * i] = kDigits[b >> 4];
    text[2 * i + 1] = kDigits[b & 0xF];
  }
  return text;
}

std::string bytesFromHexText(std::u16string_view text) {
  std::string bytes((text.size() + 1) / 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = digitValue(text[2 * i]);
    if (high == kNotADigit) continue;  // stays 0
    const int low = 2 * i + 1 < text.size() ? digitValue(text[2 * i + 1]) : kNotADigit;
    bytes[i] = static_cast<char>(low == kNotADigit ? high : high * 16 + low);
  }
  return bytes;
}

bool isHexPairs(std::u16string_view text) {
  if (text.size() % 2 != 0) return false;
  for (const char16_t c : text) {
    if (digitValue(c) == kNotADigit) return false;
  }
  return true;
}

}  // namespace orv::cipher
