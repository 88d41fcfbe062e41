#pragma once
// A code page of several bytes per character through iconv, as Windows converts it: Windows'
// additions to iconv's table of the same name win, a character the code page lacks becomes
// '?', and bytes that stand for no character become the code page's default character.
#include <optional>
#include <string>
#include <string_view>

#include "text/windows_code_page_additions.h"

namespace orv::text {

class IconvCodePage {
 public:
  // `name` is an iconv name; `windowsCodePage` the Windows number it stands for, if any.
  IconvCodePage(std::string name, std::optional<int> windowsCodePage);

  void appendBytes(std::string& out, std::u16string_view text) const;
  std::u16string toText(std::string_view bytes) const;

 private:
  struct Descriptors;
  Descriptors& descriptors() const;
  void appendConverted(std::string& out, std::u16string_view text) const;

  std::string name_;
  std::optional<CodePageAdditions> additions_;
  char16_t defaultCharacter_;
};

}  // namespace orv::text
