#include "input/input_text.h"

#include <cstdio>
#include <optional>

#include "base/secret.h"
#include "text/ansi_codepage.h"
#include "text/strict_text.h"
#include "text/utf.h"
#include "output/tool_output.h"

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace input_text {
namespace {

std::string hexByte(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

// "code page WINDOWS-1252", and what to do when it cannot carry a character.
std::string codePageNamed() {
#ifdef _WIN32
  return orv::text::codePageName() + ", the system's ANSI code page";
#else
  return "code page " + orv::text::codePageName();
#endif
}

std::string codePageWayOut() {
#ifdef _WIN32
  return "Windows sets that code page as the language for non-Unicode programs (Region settings)";
#else
  return "choose another code page with ORVACCT_CODEPAGE (an iconv name, such as ORVACCT_CODEPAGE=WINDOWS-1251 for "
         "Cyrillic)";
#endif
}

std::string codePageAdvice() {
#ifdef _WIN32
  return codePageNamed() + ", cannot represent it; " + codePageWayOut();
#else
  return codePageNamed() + " cannot represent it; " + codePageWayOut();
#endif
}

// The place of c in text, counted in characters from 1.
std::size_t placeOf(std::u16string_view text, char32_t c) {
  std::size_t place = 1;
  for (std::size_t i = 0; i < text.size(); ++place) {
    const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                      text[i + 1] <= 0xDFFF;
    const char32_t here =
        pair ? 0x10000 + ((char32_t{text[i]} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00) : char32_t{text[i]};
    if (here == c) return place;
    i += pair ? 2 : 1;
  }
  return 1;
}

std::string utf16Advice() {
#ifdef _WIN32
  return "save it as UTF-8 (PowerShell: Out-File -Encoding utf8) or as ANSI text";
#else
  return "convert it first: iconv -f UTF-16 -t UTF-8";
#endif
}

// Text typed by a person holds no NUL; UTF-16 holds one in every ASCII character.
void refuseUtf16(std::string_view bytes, const std::string& what) {
  std::string sign;
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    sign = "its byte order mark " + hexByte(static_cast<unsigned char>(bytes[0])) + " " +
           hexByte(static_cast<unsigned char>(bytes[1]));
  } else if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    sign = "a NUL byte at offset " + std::to_string(nul);
  } else {
    return;
  }
  throw ToolError(what + " is UTF-16 text (" + sign + "), as PowerShell and Notepad's \"Unicode\" write it; " +
                  utf16Advice());
}

}  // namespace
}  // namespace input_text

CLI::Option* addEncodingOption(CLI::App& command, const std::string& name, ByteEncoding& encoding,
                               const std::string& description) {
  // The word becomes the enumeration's number before CLI11 converts it.
  const CLI::Validator word(
      [](std::string& value) -> std::string {
        if (value == "utf8" || value == "ansi") {
          value = std::to_string(static_cast<int>(value == "utf8" ? ByteEncoding::Utf8 : ByteEncoding::Ansi));
          return {};
        }
        return "'" + value + "' is neither utf8 nor ansi";
      },
      "utf8|ansi");
  return command.add_option(name, encoding, description)->transform(word);
}

namespace input_text {
namespace {

// "byte 0xE4 at offset 1", or of a secret "offset 1".
std::string placeOfByte(std::string_view bytes, std::size_t offset, bool secret) {
  return (secret ? "" : "byte " + hexByte(static_cast<unsigned char>(bytes[offset])) + " at ") + "offset " +
         std::to_string(offset);
}

}  // namespace
}  // namespace input_text

std::u16string textFromBytes(std::string_view bytes, ByteEncoding encoding, const std::string& what,
                             const std::string& encodingOption, bool secret) {
  input_text::refuseUtf16(bytes, what);
  if (encoding == ByteEncoding::Ansi) return orv::text::fromAnsi(bytes);
  if (const auto bad = orv::text::firstInvalidUtf8(bytes)) {
    throw ToolError(what + " is not UTF-8 (" + input_text::placeOfByte(bytes, *bad, secret) + "); save it as UTF-8, or give " +
                    encodingOption + " ansi to take its bytes in the ANSI code page");
  }
  return orv::text::fromUtf8(bytes);
}

std::u16string argumentText(const std::string& argument, const std::string& what, bool secret) {
  if (const auto bad = orv::text::firstInvalidUtf8(argument)) {
    throw ToolError(what + " is not UTF-8 (" + input_text::placeOfByte(argument, *bad, secret) + ")");
  }
  return orv::text::fromUtf8(argument);
}

std::string describeCharacter(char32_t c) {
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(c));
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return number;
  std::u16string one;
  if (c >= 0x10000) {
    one += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    one += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    one += static_cast<char16_t>(c);
  }
  return "\"" + orv::text::toUtf8(one) + "\" (" + number + ")";
}

std::filesystem::path pathArgument(const std::string& argument) {
#ifdef _WIN32
  return std::filesystem::path(orv::text::fromUtf8(argument));
#else
  return std::filesystem::path(argument);
#endif
}

const CLI::Validator& pathAsMeant() {
  static const CLI::Validator validator(
      [](std::string& path) -> std::string {
#ifdef _WIN32
        if (path.ends_with('"')) path.back() = '\\';
        if (path.find('"') != std::string::npos) {
          return "'" + path +
                 "' holds a quote, which no Windows name holds: a quoted folder that ends in a backslash "
                 "swallows what follows it; write it without that backslash (\"C:\\Support Logs\") or double it";
        }
#else
        static_cast<void>(path);
#endif
        return {};
      },
      "");
  return validator;
}

namespace input_text {
namespace {

// The character the code page cannot carry, if any. Nearly every text survives the round trip;
// it may be a key or a password, so the trip goes through buffers that are wiped.
std::optional<char32_t> unrepresentable(std::u16string_view text) {
  const orv::SecretBytes bytes(orv::text::toAnsi(text));
  if (orv::SecretText(orv::text::fromAnsi(bytes.view())) == text) return std::nullopt;
  return orv::text::firstUnrepresentable(text);
}

}  // namespace
}  // namespace input_text

void requireRepresentable(std::u16string_view text, const std::string& what) {
  if (const auto c = input_text::unrepresentable(text)) {
    throw ToolError(what + " holds " + describeCharacter(*c) + ", and " + input_text::codePageAdvice());
  }
}

void requireRepresentableSecret(std::u16string_view text, const std::string& what) {
  if (const auto c = input_text::unrepresentable(text)) {
    throw ToolError(what + "'s character " + std::to_string(input_text::placeOf(text, *c)) +
                    " cannot be written in " + input_text::codePageNamed() + "; " + input_text::codePageWayOut());
  }
}

}  // namespace orvacct
