#pragma once
// Outside Windows, a code page by name: single-byte ones as a table, UTF-8 through the
// project's own conversion, the others through iconv with Windows' additions.
#include <optional>
#include <string>
#include <variant>

#include "text/code_page.h"
#include "text/iconv_code_page.h"
#include "text/single_byte_table.h"

namespace orv::text {

struct Utf8CodePage {};
using AnyCodePage = std::variant<SingleByteTable, IconvCodePage, Utf8CodePage>;

// The Windows code page a name stands for: "932", "CP932", "WINDOWS-932", "UTF-8".
std::optional<int> windowsNumber(const std::string& name);

// The code page, or why the name gives none.
std::variant<AnyCodePage, CodePageRefusal> makeCodePage(const std::string& name);

void appendBytes(const AnyCodePage& page, std::string& out, std::u16string_view text);
std::u16string toText(const AnyCodePage& page, std::string_view bytes);

}  // namespace orv::text
