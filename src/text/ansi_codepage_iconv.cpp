// ANSI code page outside Windows: Windows-1252 unless ORVACCT_CODEPAGE names another, as an
// iconv name ("WINDOWS-1251", "CP932") or a Windows number ("932", "65001"). Single-byte code
// pages go through a table built once (one load per character); UTF-8 through the project's own
// conversion; other multi-byte code pages through iconv with Windows' additions.
#include <cstdlib>

#include "text/ansi_codepage.h"
#include "text/code_page.h"
#include "text/iconv_code_pages.h"

namespace orv::text {
namespace {

std::string configuredName() {
  const char* name = std::getenv("ORVACCT_CODEPAGE");
  return (name != nullptr && *name != '\0') ? name : "WINDOWS-1252";
}

const AnyCodePage& codePage() {
  static const AnyCodePage instance = makeCodePage(configuredName());
  return instance;
}

}  // namespace

void appendAnsi(std::string& out, std::u16string_view text) { appendBytes(codePage(), out, text); }

std::string toAnsi(std::u16string_view text) {
  std::string bytes;
  appendAnsi(bytes, text);
  return bytes;
}

std::u16string fromAnsi(std::string_view bytes) { return toText(codePage(), bytes); }

std::string codePageName() { return configuredName(); }

std::unique_ptr<CodePage> ansiCodePage() { return codePageNamed(configuredName()); }

}  // namespace orv::text
