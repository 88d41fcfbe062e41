// ANSI code page on Windows: CP_ACP, through the system's own conversion. The code page may be
// single-byte, double-byte or UTF-8 ("Use Unicode UTF-8 for worldwide language support", or an
// application manifest's activeCodePage).
#include <windows.h>

#include "text/ansi_codepage.h"
#include "text/windows_code_pages_win32.h"

namespace orv::text {
namespace {

// Code pages for which WideCharToMultiByte refuses a default character (the call fails with
// ERROR_INVALID_PARAMETER): UTF-7/8, GB18030, the ISO-2022 family and the symbol page. They
// substitute what they cannot encode themselves.
bool refusesDefaultCharacter(UINT codePage) {
  switch (codePage) {
    case CP_UTF7:
    case CP_UTF8:
    case 54936:
    case 42:
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
      return true;
    default:
      return codePage >= 57002 && codePage <= 57011;
  }
}

[[noreturn]] void conversionFailed(UINT codePage = GetACP()) {
  throw ConversionError("the text cannot be converted through code page " + std::to_string(codePage));
}

}  // namespace

void appendAnsi(std::string& out, std::u16string_view text) {
  if (text.empty()) return;
  const UINT codePage = GetACP();
  const char* defaultCharacter = refusesDefaultCharacter(codePage) ? nullptr : "?";
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  if (static_cast<std::size_t>(length) != text.size()) conversionFailed();
  const int size = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, defaultCharacter, nullptr);
  // A text that converts to nothing would weaken keys and blank log fields: never silently.
  if (size <= 0) conversionFailed();
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(size));
  if (WideCharToMultiByte(codePage, 0, wide, length, out.data() + start, size, defaultCharacter, nullptr) != size) {
    out.resize(start);
    conversionFailed();
  }
}

std::string toAnsi(std::u16string_view text) {
  std::string bytes;
  appendAnsi(bytes, text);
  return bytes;
}

std::u16string fromCodePage(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  if (static_cast<std::size_t>(length) != bytes.size()) conversionFailed(codePage);
  const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (size <= 0) conversionFailed(codePage);
  std::u16string text(static_cast<std::size_t>(size), u'\0');
  if (MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()), size) != size) {
    conversionFailed(codePage);
  }
  return text;
}

std::u16string fromAnsi(std::string_view bytes) { return fromCodePage(GetACP(), bytes); }

std::string codePageName() { return "code page " + std::to_string(GetACP()); }

}  // namespace orv::text
