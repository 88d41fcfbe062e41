#pragma once
// Bytes of a Windows code page, given by number, to text, through the system's own conversion:
// the ANSI code page's and any other a caller names.
#include <windows.h>

#include <string>
#include <string_view>

namespace orv::text {

// Throws ConversionError, naming the code page, for bytes it cannot convert.
std::u16string fromCodePage(UINT codePage, std::string_view bytes);

}  // namespace orv::text
