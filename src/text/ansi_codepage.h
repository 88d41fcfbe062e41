#pragma once
// The one place where the component's 16-bit text meets bytes: the system ANSI code page.
// Windows uses CP_ACP; elsewhere Windows-1252, or the single-byte iconv code page named by
// the environment variable ORVACCT_CODEPAGE. Characters the code page lacks become '?'.
#include <stdexcept>
#include <string>
#include <string_view>

namespace orv::text {

// The system refused a conversion; never answered with an empty or partial text instead.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Single-byte code pages give one byte per 16-bit character; characters the code page lacks
// become '?' (63), or the code page's own substitute where it has one (UTF-8 has none to need).
std::string toAnsi(std::u16string_view text);

// The same, appended to out.
void appendAnsi(std::string& out, std::u16string_view text);

// One 16-bit character per byte.
std::u16string fromAnsi(std::string_view bytes);

// Name of the code page in force, for messages ("windows-1252", "CP_ACP").
std::string codePageName();

}  // namespace orv::text
