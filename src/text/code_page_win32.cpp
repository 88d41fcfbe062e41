// Code pages by number on Windows, through the system's own conversion.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "text/ansi_codepage.h"
#include "text/ascii_reading.h"
#include "text/code_page.h"
#include "text/windows_code_pages_win32.h"

namespace orv::text {
namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// "1251", "CP1251", "WINDOWS-1251", "UTF-8"; none for a name the system has no code page by.
std::optional<UINT> numberOf(const std::string& name) {
  const std::string n = upper(name);
  if (n == "UTF-8" || n == "UTF8") return CP_UTF8;
  for (std::string_view prefix : {"WINDOWS-", "CP", ""}) {
    if (!n.starts_with(prefix)) continue;
    const std::string_view rest = std::string_view(n).substr(prefix.size());
    if (rest.empty() || rest.size() > 5 ||
        !std::all_of(rest.begin(), rest.end(), [](unsigned char c) { return std::isdigit(c); })) {
      continue;
    }
    const auto number = static_cast<UINT>(std::stoul(std::string(rest)));
    if (IsValidCodePage(number)) return number;
  }
  return std::nullopt;
}

bool readsAnsiText(UINT number) {
  return readsAsciiAsItself([number](std::string_view bytes) {
    try {
      return fromCodePage(number, bytes);
    } catch (const ConversionError&) {
      return std::u16string();
    }
  });
}

class WindowsCodePage final : public CodePage {
 public:
  explicit WindowsCodePage(UINT number) : number_(number) {}

  std::u16string toText(std::string_view bytes) const override { return fromCodePage(number_, bytes); }
  std::string name() const override { return std::to_string(number_); }

 private:
  UINT number_;
};

}  // namespace

CodePageLookup codePageNamed(const std::string& name) {
  const std::optional<UINT> number = numberOf(name);
  if (!number) return CodePageRefusal::UnknownName;
  if (!readsAnsiText(*number)) return CodePageRefusal::NotAnAnsiCodePage;
  return std::make_unique<WindowsCodePage>(*number);
}

std::unique_ptr<CodePage> ansiCodePage() { return std::make_unique<WindowsCodePage>(GetACP()); }

}  // namespace orv::text
