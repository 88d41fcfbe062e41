#pragma once
// One text as a field of the common exchange formats, for spreadsheets and jq: a JSON string
// and a CSV field (RFC 4180). Both take and give UTF-8.
#include <string>
#include <string_view>

namespace orvacct {

// A JSON string, quotes included.
void appendJsonString(std::string& out, std::string_view utf8);

// One CSV field: quoted when it holds a comma, a quote or a line break, or always when asked
// (so that an empty text differs from no field at all).
void appendCsvField(std::string& out, std::string_view utf8, bool alwaysQuoted = false);

}  // namespace orvacct
