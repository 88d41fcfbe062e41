// The ANSI conversion under the code pages a Windows system may have: single-byte (1252, 1251),
// double-byte (932, 936, 949, 950) and UTF-8 (65001). The test runs once per code page;
// ORVACCT_EXPECTED_ACP says which one the run was set up for, so a set-up that silently fell
// back is caught.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cipher/cipher_data.h"
#include "cipher/clsBlowfish.h"
#include "text/ansi_codepage.h"
#include "text/lower_case.h"
#include "com_test_support.h"
#include "support/code_page_table.h"
#include "text/utf.h"
#include "vector_files.h"

namespace orv {
namespace {

UINT expectedCodePage() {
  const char* expected = std::getenv("ORVACCT_EXPECTED_ACP");
  return expected != nullptr ? static_cast<UINT>(std::atoi(expected)) : 0;
}

// A text the code page in force holds, and a character it lacks (none for UTF-8, the last row).
struct CodePageSample {
  UINT codePage;
  std::u16string_view held;
  std::u16string_view lacking;
};

constexpr CodePageSample kSamples[] = {
    {1252, u"Caf\u00E9 \u20AC \u00FF", u"\u043F"},
    {1251, u"\u043F\u0430\u0440\u043E\u043B\u044C \u0401", u"\u65E5"},
    {932, u"\u65E5\u672C\u8A9E\u30C6\u30B9\u30C8 \u043F", u"\u05E9"},
    {936, u"\u4E2D\u6587\u5BC6\u7801 \u00E9", u"\u05E9"},
    {949, u"\uD55C\uAD6D\uC5B4 \u0416", u"\u05E9"},
    {950, u"\u7E41\u9AD4\u4E2D\u6587 \u2550", u"\u05E9"},
    {65001, u"\u043F\u0430\u0440\u043E\u043B\u044C \u65E5\u672C \u20AC \U0001F511", u""},
};

CodePageSample sampleFor(UINT codePage) {
  for (const CodePageSample& sample : kSamples) {
    if (sample.codePage == codePage) return sample;
  }
  return kSamples[std::size(kSamples) - 1];
}

TEST(AnsiConversion, RunsUnderTheCodePageItWasSetUpFor) { EXPECT_EQ(GetACP(), expectedCodePage()); }

// The digest of Windows' own conversion table, as recorded for the portable conversion to match
// (the native text tests check that one against the same file). ORVACCT_CODE_PAGE_LISTING names
// a file to receive the table itself, for tools/codepages/make_windows_additions.py.
TEST(AnsiConversion, WindowsTableIsTheRecordedWindowsTable) {
  const UINT codePage = GetACP();
  std::FILE* listing = nullptr;
  if (const char* path = std::getenv("ORVACCT_CODE_PAGE_LISTING")) listing = std::fopen(path, "wb");
  const testing::CodePageTable table =
      testing::codePageTable([](char16_t c) { return text::toAnsi(std::u16string_view(&c, 1)); },
                             [](const std::string& bytes) { return text::fromAnsi(bytes); }, listing);
  if (listing != nullptr) std::fclose(listing);

  std::ifstream recorded(ORVACCT_CODE_PAGE_TABLES);
  ASSERT_TRUE(recorded) << ORVACCT_CODE_PAGE_TABLES;
  std::string line;
  while (std::getline(recorded, line)) {
    unsigned number = 0;
    std::size_t characters = 0;
    unsigned long long digest = 0;
    if (std::sscanf(line.c_str(), "%u %zu %llx", &number, &characters, &digest) != 3 || number != codePage) continue;
    EXPECT_EQ(table.characters, characters);
    EXPECT_EQ(table.digest, digest) << std::hex << "this table's digest: " << table.digest;
    return;
  }
  ADD_FAILURE() << "no table recorded for code page " << codePage << "; this one has " << table.characters
                << " characters, digest " << std::hex << table.digest;
}

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
  const std::u16string key(sampleFor(GetACP()).held);
  const std::u16string otherKey = key + u"2";
  cipher::clsBlowfish encrypter;
  std::u16string sealed = encrypter.EncryptString(key, key, true);

  cipher::clsBlowfish right;
  const cipher::PasswordDecryption opened = right.decryptHexWithOutcome(sealed, key);
  EXPECT_EQ(opened.outcome, cipher::DecryptOutcome::Plain);
  EXPECT_EQ(opened.text, key);

  cipher::clsBlowfish wrong;
  EXPECT_NE(wrong.decryptHexWithOutcome(sealed, otherKey).text, key);
}

// Passwords stored under keys of double-byte characters: the key schedule cycles over as many
// key bytes as the key has characters, so "日本" (93 FA 96 7B in code page 932) uses 93 FA.
// The cipher texts come from an independent script; the DLL must read them, and read back its own.
TEST(PasswordsThroughTheDll, KeysOfDoubleByteCharactersDecryptWhatWasStored) {
  if (GetACP() != 932 && GetACP() != 936) return;  // the vectors are for these two code pages
  std::vector<testing::VectorRow> rows;
  for (const testing::VectorRow& row : testing::readVectorRows("passwords-dbcs.tsv")) {
    if (static_cast<UINT>(std::stoul(row.at("code_page"))) == GetACP()) rows.push_back(row);
  }
  ASSERT_FALSE(rows.empty());
  testing::Apartment apartment;
  const auto component = testing::createComponent();
  for (const testing::VectorRow& row : rows) {
    const std::u16string key16 = text::fromUtf8(row.at("key"));
    const std::u16string password16 = text::fromUtf8(row.at("password"));
    const std::wstring key(key16.begin(), key16.end()), password(password16.begin(), password16.end());
    const std::wstring stored(row.at("cipher_hex").begin(), row.at("cipher_hex").end());

    testing::Bstr cipherText(stored), keyText(key), plain;
    ASSERT_EQ(S_OK, component->DeCrypt_Pwd(cipherText.ref(), keyText.ref(), plain.out()));
    EXPECT_EQ(plain.text(), password) << row.at("key");

    testing::Bstr pwd(password), sealed, again;
    ASSERT_EQ(S_OK, component->EnCrypt_Pwd(pwd.ref(), keyText.ref(), sealed.out()));
    const std::wstring sealedText = sealed.text();
    EXPECT_EQ(sealedText.size(), stored.size());
    cipher::clsBlowfish fresh;
    std::u16string sealed16(sealedText.begin(), sealedText.end());
    EXPECT_EQ(fresh.DecryptString(sealed16, key16, true), password16) << row.at("key");
  }
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
