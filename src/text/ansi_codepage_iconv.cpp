// ANSI code page outside Windows: a single-byte iconv code page, Windows-1252 unless
// ORVACCT_CODEPAGE names another. The table is built once, on first use.
#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "text/ansi_codepage.h"
#include "text/single_byte_table.h"

namespace orv::text {
namespace {

std::string configuredName() {
  const char* name = std::getenv("ORVACCT_CODEPAGE");
  return (name != nullptr && *name != '\0') ? name : "WINDOWS-1252";
}

// Bytes the code page leaves undefined map to the character of the same number, as
// Windows does for 0x81, 0x8D, 0x8F, 0x90 and 0x9D of code page 1252: every byte value
// must survive a trip through text, since cipher text travels as text.
std::array<char16_t, 256> decodeAllBytes(const std::string& name) {
  iconv_t cd = iconv_open("UTF-16LE", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error("unknown code page in ORVACCT_CODEPAGE: " + name);
  }
  std::array<char16_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[8] = {};
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool oneUnit = rc != static_cast<std::size_t>(-1) && inLeft == 0 && sizeof out - outLeft == 2;
    table[b] = oneUnit ? static_cast<char16_t>(out[0] | (out[1] << 8)) : static_cast<char16_t>(b);
  }
  iconv_close(cd);
  return table;
}

const SingleByteTable& table() {
  static const SingleByteTable instance(decodeAllBytes(configuredName()));
  return instance;
}

}  // namespace

std::string toAnsi(std::u16string_view text) { return table().toBytes(text); }
void appendAnsi(std::string& out, std::u16string_view text) { table().appendBytes(out, text); }
std::u16string fromAnsi(std::string_view bytes) { return table().toText(bytes); }
std::string codePageName() { return configuredName(); }

}  // namespace orv::text
