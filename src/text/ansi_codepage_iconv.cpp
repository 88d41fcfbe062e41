// ANSI code page outside Windows: Windows-1252 unless ORVACCT_CODEPAGE names another, as an
// iconv name ("WINDOWS-1251", "CP932") or a Windows number ("932", "65001"). Single-byte code
// pages go through a table built once (one load per character); UTF-8 through the project's own
// conversion; other multi-byte code pages through iconv with Windows' additions.
#include <cstdlib>
#include <string>

#include "text/ansi_codepage.h"
#include "text/code_page.h"
#include "text/iconv_code_pages.h"

namespace orv::text {
namespace {

std::string configuredName() {
  const char* name = std::getenv("ORVACCT_CODEPAGE");
  return (name != nullptr && *name != '\0') ? name : "WINDOWS-1252";
}

// A setting that names no code page is a fault of the installation, not of the text converted:
// it is told as such, naming the variable to mend.
[[noreturn]] void refuseSetting(const std::string& name, CodePageRefusal refusal) {
  throw ConversionError((refusal == CodePageRefusal::UnknownName ? "unknown code page in ORVACCT_CODEPAGE: "
                                                                  : "ORVACCT_CODEPAGE names no ANSI code page: ") +
                        name);
}

AnyCodePage configuredCodePage() {
  const std::string name = configuredName();
  std::variant<AnyCodePage, CodePageRefusal> made = makeCodePage(name);
  if (const auto* refusal = std::get_if<CodePageRefusal>(&made)) refuseSetting(name, *refusal);
  return std::move(std::get<AnyCodePage>(made));
}

const AnyCodePage& codePage() {
  static const AnyCodePage instance = configuredCodePage();
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

std::unique_ptr<CodePage> ansiCodePage() {
  const std::string name = configuredName();
  CodePageLookup found = codePageNamed(name);
  if (const auto* refusal = std::get_if<CodePageRefusal>(&found)) refuseSetting(name, *refusal);
  return std::move(std::get<std::unique_ptr<CodePage>>(found));
}

}  // namespace orv::text
