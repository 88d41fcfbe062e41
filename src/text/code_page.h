#pragma once
// A code page chosen by name, for text written on another machine in that machine's ANSI code
// page (logs gathered from Russian and Japanese machines into one share). Names as
// ORVACCT_CODEPAGE takes them: a Windows number ("1251", "932", "65001") or, outside Windows,
// an iconv name ("WINDOWS-1251", "CP932", "UTF-8").
#include <memory>
#include <string>
#include <string_view>

namespace orv::text {

class CodePage {
 public:
  virtual ~CodePage() = default;
  // Bytes that stand for no character become the code page's default character.
  virtual std::u16string toText(std::string_view bytes) const = 0;
  virtual std::string name() const = 0;
};

// Throws ConversionError (text/ansi_codepage.h) for a name that is no code page here.
std::unique_ptr<CodePage> codePageNamed(const std::string& name);

// The ANSI code page the component's own text goes through (text/ansi_codepage.h).
std::unique_ptr<CodePage> ansiCodePage();

}  // namespace orv::text
