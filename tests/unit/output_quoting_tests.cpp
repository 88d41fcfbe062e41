// The quoting of text from logs and file names, against the escapes the formats define.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "rows/output_quoting.h"

namespace orvacct {
namespace {

std::string json(std::string_view utf8) {
  std::string out;
  appendJsonString(out, utf8);
  return out;
}

// JSON must escape every character below U+0020 and nothing from U+0020 on but '"' and '\'.
TEST(OutputQuoting, JsonEscapesEveryControlCharacter) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string(1, '\0'), R"("\u0000")"}, {"\x01", R"("\u0001")"}, {"\x1e", R"("\u001e")"},
      {"\x1f", R"("\u001f")"},               {" ", R"(" ")"},         {"\x7f", "\"\x7f\""},
      {"\n\r\t", R"("\n\r\t")"},             {"a\"b\\c", R"("a\"b\\c")"},
      {"\u202e", "\"\u202e\""},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(json(text), quoted) << quoted;
}

// On a terminal, the C0 and C1 controls and every character that reorders a line are escaped;
// their neighbours are not.
TEST(OutputQuoting, TerminalTextEscapesControlsAndReordering) {
  const std::pair<std::string, std::string> cases[] = {
      {"\x1f", R"(\x1f)"},        {"\x1b[2J", R"(\x1b[2J)"}, {"\x7f", R"(\x7f)"},      {"\u0085", R"(\u0085)"},
      {"\u2029", "\u2029"},       {"\u202a", R"(\u202a)"},   {"\u202b", R"(\u202b)"},  {"\u202c", R"(\u202c)"},
      {"\u202d", R"(\u202d)"},    {"\u202e", R"(\u202e)"},   {"\u202f", "\u202f"},      {"\u2066", R"(\u2066)"},
      {"\u2069", R"(\u2069)"},    {"\u200f", R"(\u200f)"},   {"\u061c", R"(\u061c)"},  {"\xff", R"(\xff)"},
      {"C:\\Logs", "C:\\Logs"},   {"é", "é"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(terminalSafe(text), shown) << shown;
}

}  // namespace
}  // namespace orvacct
