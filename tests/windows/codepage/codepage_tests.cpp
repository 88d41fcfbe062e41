// The ANSI conversion under the code pages a Windows system may have: single-byte (1252, 1251),
// double-byte (932) and UTF-8 (65001). The test runs once per code page; ORVACCT_EXPECTED_ACP
// says which one the run was set up for, so a set-up that silently fell back is caught.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cipher/cipher_data.h"
#include "cipher/clsBlowfish.h"
#include "cipher/password.h"
#include "text/ansi_codepage.h"
#include "text/lower_case.h"

namespace orv {
namespace {

UINT expectedCodePage() {
  const char* expected = std::getenv("ORVACCT_EXPECTED_ACP");
  return expected != nullptr ? static_cast<UINT>(std::atoi(expected)) : 0;
}

// A text the code page in force holds, and a character it lacks (none for UTF-8).
struct CodePageSample {
  std::u16string held;
  std::u16string lacking;
};

CodePageSample sampleFor(UINT codePage) {
  switch (codePage) {
    case 1252:
      return {u"Caf\u00E9 \u20AC \u00FF", u"\u043F"};
    case 1251:
      return {u"\u043F\u0430\u0440\u043E\u043B\u044C \u0401", u"\u65E5"};
    case 932:
      return {u"\u65E5\u672C\u8A9E\u30C6\u30B9\u30C8 \u043F", u"\u05E9"};
    default:
      return {u"\u043F\u0430\u0440\u043E\u043B\u044C \u65E5\u672C \u20AC \U0001F511", u""};
  }
}

TEST(AnsiConversion, RunsUnderTheCodePageItWasSetUpFor) { EXPECT_EQ(GetACP(), expectedCodePage()); }

TEST(AnsiConversion, WhatTheCodePageHoldsRoundTripsAndNothingTurnsEmpty) {
  const CodePageSample sample = sampleFor(GetACP());
  const std::string bytes = text::toAnsi(sample.held);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(text::fromAnsi(bytes), sample.held);
  if (!sample.lacking.empty()) {
    EXPECT_EQ(text::toAnsi(sample.lacking), "?");
  }
  EXPECT_EQ(text::toAnsi(u"plain ASCII"), "plain ASCII");
  std::string appended = "x";
  text::appendAnsi(appended, sample.held);
  EXPECT_EQ(appended, "x" + bytes);
}

TEST(AnsiConversion, KeysOfTheCodePageStayDistinctAndPasswordsComeBack) {
  const std::u16string key = sampleFor(GetACP()).held;
  const std::u16string otherKey = key + u"2";
  cipher::clsBlowfish encrypter;
  std::u16string sealed = encrypter.EncryptString(key, key, true);

  cipher::clsBlowfish right;
  const cipher::PasswordDecryption opened = cipher::decryptPassword(right, sealed, key);
  EXPECT_EQ(opened.outcome, cipher::DecryptOutcome::Plain);
  EXPECT_EQ(opened.text, key);

  cipher::clsBlowfish wrong;
  EXPECT_NE(cipher::decryptPassword(wrong, sealed, otherKey).text, key);
}

void appendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
}

// Log file names lower through the system on Windows and through the portable table elsewhere:
// the two must name the same file.
TEST(LowerCase, TheSystemAndThePortableMappingAgreeOnEveryCodePoint) {
  std::u16string every, expected;
  for (char32_t c = 1; c < 0x110000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    appendCodePoint(every, c);
    appendCodePoint(expected, text::lowerCaseCodePoint(c));
  }
  const std::u16string lowered = text::lowerCase(every);
  ASSERT_EQ(lowered.size(), expected.size());
  int differences = 0;
  for (std::size_t i = 0; i < lowered.size(); ++i) {
    if (lowered[i] != expected[i] && ++differences <= 10) {
      ADD_FAILURE() << std::hex << "code unit " << i << " of U+" << static_cast<unsigned>(every[i]) << ": system U+"
                    << static_cast<unsigned>(lowered[i]) << ", portable U+" << static_cast<unsigned>(expected[i]);
    }
  }
  EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace orv
