#include "text/utf.h"

namespace orv::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::u16string fromUtf8(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t extra = 0;
    char32_t cp = lead;
    if (lead >= 0xC2 && lead < 0xE0) {
      extra = 1, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      extra = 2, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
      extra = 3, cp = lead & 0x07;
    } else if (lead >= 0x80) {
      extra = 99;  // continuation byte or invalid lead
    }
    bool valid = extra != 99 && i + extra < utf8.size();
    for (std::size_t k = 1; valid && k <= extra; ++k) {
      const auto cont = static_cast<unsigned char>(utf8[i + k]);
      valid = (cont & 0xC0) == 0x80;
      cp = (cp << 6) | (cont & 0x3F);
    }
    valid = valid && !(extra == 2 && cp < 0x800) && !(extra == 3 && cp < 0x10000) && cp <= 0x10FFFF &&
            !(cp >= 0xD800 && cp <= 0xDFFF);
    if (!valid) {
      out.push_back(static_cast<char16_t>(kReplacement));
      ++i;
      continue;
    }
    appendUtf16(out, cp);
    i += extra + 1;
  }
  return out;
}

std::string toUtf8(std::u16string_view utf16) {
  // Most text here is ASCII (paths, names): copy that part straight.
  std::size_t ascii = 0;
  while (ascii < utf16.size() && utf16[ascii] < 0x80) ++ascii;
  // The whole room first: the text may be a password, and a buffer outgrown would be freed
  // holding its beginning.
  std::string out;
  out.reserve(ascii == utf16.size() ? ascii : utf16.size() * 3);
  out.resize(ascii);
  char* const bytes = out.data();
  for (std::size_t i = 0; i < ascii; ++i) bytes[i] = static_cast<char>(utf16[i]);
  if (ascii == utf16.size()) return out;
  for (std::size_t i = ascii; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    appendUtf8(out, cp);
  }
  return out;
}

}  // namespace orv::text
