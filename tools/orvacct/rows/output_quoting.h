#pragma once
// One text as a field of the common exchange formats, for spreadsheets and jq, and as text safe
// to show on a terminal. All take and give UTF-8.
#include <string>
#include <string_view>

namespace orvacct {

// A JSON string, quotes included.
void appendJsonString(std::string& out, std::string_view utf8);

// Who reads a CSV cell: a person in a spreadsheet, where a cell that would run as a formula
// (beginning with =, +, -, @, a tab or a CR) gets a leading apostrophe inside its quotes, so it
// is shown as text (a number such as -2147467259 stays a number); or a program, which must get
// the text back exactly (a password beginning with = is such a text).
enum class CsvCells { SpreadsheetSafe, Exact };

// One CSV field (RFC 4180): quoted when it holds a comma, a quote or a line break, or always
// when asked (so that an empty text differs from no field at all).
void appendCsvField(std::string& out, std::string_view utf8, bool alwaysQuoted = false,
                    CsvCells cells = CsvCells::SpreadsheetSafe);

// Text from logs, file names or the command line for a terminal, where a control character
// could move the cursor, retitle the window or forge a line: C0 and C1 controls, DEL and the
// bidirectional overrides are shown escaped (\n, \t, \x1b, \u202e), and bytes that are not
// UTF-8 as \xNN. Other text passes as it is, backslashes included (Windows paths stay readable).
void appendTerminalSafe(std::string& out, std::string_view utf8);
std::string terminalSafe(std::string_view utf8);

}  // namespace orvacct
