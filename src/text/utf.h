#pragma once
// UTF-8 <-> UTF-16, for the command line and for file names outside Windows.
#include <string>
#include <string_view>

namespace orv::text {

std::u16string fromUtf8(std::string_view utf8);  // invalid sequences become U+FFFD
std::string toUtf8(std::u16string_view utf16);   // lone surrogates become U+FFFD

}  // namespace orv::text
