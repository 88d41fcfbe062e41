#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "text/ansi_codepage.h"
#include "text/code_page.h"
#include "text/strict_text.h"
#include "text/utf.h"
#include "support/code_page_table.h"

namespace orv::text {
namespace {

std::string allBytes() {
  std::string bytes(256, '\0');
  for (int b = 0; b < 256; ++b) bytes[static_cast<std::size_t>(b)] = static_cast<char>(b);
  return bytes;
}

TEST(AnsiCodePage, EveryByteSurvivesTextAndBack) {
  const std::string bytes = allBytes();
  const std::u16string text = fromAnsi(bytes);
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(toAnsi(text), bytes);
}

TEST(AnsiCodePage, Windows1252IsTheDefault) {
  // Printable ASCII and Latin-1 map to themselves; 0x80..0x9F carry the Windows additions,
  // and the five bytes Windows leaves undefined map to the control character of that number.
  const std::u16string text = fromAnsi(allBytes());
  for (int b = 0x20; b < 0x7F; ++b) EXPECT_EQ(text[static_cast<std::size_t>(b)], b);
  for (int b = 0xA0; b < 0x100; ++b) EXPECT_EQ(text[static_cast<std::size_t>(b)], b);
  EXPECT_EQ(text[0x80], u'\u20AC');
  EXPECT_EQ(text[0x92], u'\u2019');
  EXPECT_EQ(text[0x9F], u'\u0178');
  for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(text[static_cast<std::size_t>(undefined)], undefined);
}

TEST(AnsiCodePage, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(toAnsi(u"a\u0100b\u4E2D\U0001F600"), "a?b???");
  EXPECT_EQ(toAnsi(u"\u20AC\u00E9"), "\x80\xE9");
  EXPECT_EQ(toAnsi(u""), "");
}

TEST(AnsiCodePage, EnvironmentChoosesAnotherSingleByteCodePage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process reads the variable anew
  EXPECT_EXIT(
      {
        setenv("ORVACCT_CODEPAGE", "ISO-8859-5", 1);
        const bool cyrillic = fromAnsi("\xB0") == u"\u0410" && toAnsi(u"\u0410\u00E9") == "\xB0?";
        std::exit(cyrillic && codePageName() == "ISO-8859-5" ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// Every character's bytes as Windows gives them (the digests were recorded from Windows' own
// conversion under Wine, where the same table is checked): single-byte, double-byte and UTF-8
// code pages, named by their Windows numbers.
class WindowsCodePageTable : public ::testing::TestWithParam<int> {};

TEST_P(WindowsCodePageTable, EveryCharacterHasTheBytesWindowsGivesIt) {
  std::ifstream recorded(ORVACCT_CODE_PAGE_TABLES);
  ASSERT_TRUE(recorded);
  std::string expected;
  for (std::string line; std::getline(recorded, line);) {
    if (line.starts_with(std::to_string(GetParam()) + " ")) expected = line;
  }
  ASSERT_FALSE(expected.empty()) << "no recorded table for code page " << GetParam();
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process reads the variable anew
  EXPECT_EXIT(
      {
        setenv("ORVACCT_CODEPAGE", std::to_string(GetParam()).c_str(), 1);
        const orv::testing::CodePageTable table =
            orv::testing::codePageTable([](char16_t c) { return toAnsi(std::u16string_view(&c, 1)); },
                                        [](const std::string& bytes) { return fromAnsi(bytes); });
        std::ostringstream line;
        line << GetParam() << " " << table.characters << " " << std::hex << table.digest;
        std::fprintf(stderr, "[%s]\n", line.str().c_str());
        std::exit(line.str() == expected ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "\\[" + expected + "\\]");
}

INSTANTIATE_TEST_SUITE_P(CodePages, WindowsCodePageTable, ::testing::Values(1252, 1251, 932, 936, 949, 950, 65001));

TEST(AnsiCodePage, DoubleByteCodePagesKeepTheirCharactersWhole) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("ORVACCT_CODEPAGE", "CP932", 1);
        const bool whole = toAnsi(u"\u65E5\u672Ca") ==
                               "\x93\xFA\x96\x7B"
                               "a" &&
                           fromAnsi("\x83\x70\x83\x58") == u"\u30D1\u30B9" && toAnsi(u"\u05E9\U0001F600") == "???" &&
                           firstUnrepresentable(u"\u65E5\u05E9") == U'\u05E9';
        std::exit(whole ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// A log read in a code page that is none of Windows' ANSI ones would come out as question marks
// or other letters: UTF-7 cannot read '+' or '~' alone, UTF-16 no byte alone, EBCDIC reads 0x41
// as a non-breaking space.
TEST(CodePageNamed, RefusesWhatCannotHoldWindowsAnsiText) {
  struct Case {
    const char* name;
    std::optional<CodePageRefusal> refusal;
  };
  const std::vector<Case> cases = {
      {"1252", std::nullopt},         {"WINDOWS-1251", std::nullopt},
      {"874", std::nullopt},          {"932", std::nullopt},
      {"936", std::nullopt},          {"949", std::nullopt},
      {"950", std::nullopt},          {"65001", std::nullopt},
      {"ISO-8859-5", std::nullopt},   {"UTF-7", CodePageRefusal::NotAnAnsiCodePage},
      {"UTF-16", CodePageRefusal::NotAnAnsiCodePage},
      {"IBM037", CodePageRefusal::NotAnAnsiCodePage}, {"klingon", CodePageRefusal::UnknownName},
  };
  for (const Case& c : cases) {
    const CodePageLookup found = codePageNamed(c.name);
    const auto* refusal = std::get_if<CodePageRefusal>(&found);
    EXPECT_EQ(refusal != nullptr ? std::optional(*refusal) : std::nullopt, c.refusal) << c.name;
  }
}

TEST(Utf8, RoundTripsEveryPlane) {
  const std::u16string text = u"abc \u00E9\u20AC\U0001F600 end";
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(toUtf8(u"\u00E9"), "\xC3\xA9");
}

TEST(Utf8, InvalidInputBecomesReplacementCharacters) {
  EXPECT_EQ(fromUtf8("a\xFF"
                     "b"),
            u"a\uFFFDb");
  EXPECT_EQ(fromUtf8("\xC3"), u"\uFFFD");                      // cut short
  EXPECT_EQ(fromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(toUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(StrictText, FindsTheFirstCharacterTheCodePageCannotCarry) {
  EXPECT_EQ(firstUnrepresentable(u"Gr\u00FC\u00DFe \u20AC?"), std::nullopt);
  EXPECT_EQ(firstUnrepresentable(u""), std::nullopt);
  EXPECT_EQ(firstUnrepresentable(u"ab\u043F\u0430"), U'\u043F');
  EXPECT_EQ(firstUnrepresentable(u"a\U0001F600"), U'\U0001F600');  // a whole code point, not half of one
  EXPECT_EQ(firstUnrepresentable(std::u16string(1, u'\xDC00')), U'\xDC00');
}

TEST(StrictText, FindsTheFirstByteThatIsNotUtf8) {
  EXPECT_EQ(firstInvalidUtf8("plain \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), std::nullopt);
  EXPECT_EQ(firstInvalidUtf8("p\xE4ss"), 1u);           // Windows-1252
  EXPECT_EQ(firstInvalidUtf8("ab\xE2\x82"), 2u);        // cut short
  EXPECT_EQ(firstInvalidUtf8("\xC0\xAF"), 0u);          // overlong
  EXPECT_EQ(firstInvalidUtf8("\xE0\x80\xAF"), 0u);      // overlong, three bytes
  EXPECT_EQ(firstInvalidUtf8("x\xED\xA0\x80"), 1u);     // an encoded surrogate
  EXPECT_EQ(firstInvalidUtf8("\xF4\x90\x80\x80"), 0u);  // beyond U+10FFFF
  EXPECT_EQ(firstInvalidUtf8("\xE2\x28\xA1"), 0u);      // continuation missing
}

}  // namespace
}  // namespace orv::text
