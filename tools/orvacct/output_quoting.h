#pragma once
// One text as a field of the common exchange formats, for spreadsheets and jq: a CSV field
// (RFC 4180, always quoted) and a JSON string. Both take and give UTF-8.
#include <string>
#include <string_view>

namespace orvacct {

std::string csvField(std::string_view utf8);
std::string jsonString(std::string_view utf8);

}  // namespace orvacct
