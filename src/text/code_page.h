#pragma once
// A code page chosen by name, for text written on another machine in that machine's ANSI code
// page (logs gathered from Russian and Japanese machines into one share). Names as
// ORVACCT_CODEPAGE takes them: a Windows number ("1251", "932", "65001") or, outside Windows,
// an iconv name ("WINDOWS-1251", "CP932", "UTF-8").
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace orv::text {

class CodePage {
 public:
  virtual ~CodePage() = default;
  // Bytes that stand for no character become the code page's default character.
  virtual std::u16string toText(std::string_view bytes) const = 0;
  virtual std::string name() const = 0;
};

// Why a name gives no code page: the system knows none by it, or it names one that cannot hold
// Windows ANSI text. Every ANSI code page Windows writes in reads each ASCII byte as itself (the
// records' own words are ASCII); UTF-7, UTF-16 or EBCDIC would turn a log into question marks or
// other letters.
enum class CodePageRefusal { UnknownName, NotAnAnsiCodePage };

// The code page, or why there is none.
using CodePageLookup = std::variant<std::unique_ptr<CodePage>, CodePageRefusal>;
CodePageLookup codePageNamed(const std::string& name);

// The ANSI code page the component's own text goes through (text/ansi_codepage.h).
std::unique_ptr<CodePage> ansiCodePage();

}  // namespace orv::text
