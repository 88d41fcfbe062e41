// Reg_ methods over the registry double: the stored bytes and types clients depend on, values
// written by other programs, and the fallbacks.
#include <gtest/gtest.h>

#include "support/registry_fixture.h"
#include "text/ansi_codepage.h"

namespace orv::testing {
namespace {

using registry::kRegBinary;
using registry::kRegDword;
using registry::kRegExpandSz;
using registry::kRegMultiSz;
using registry::kRegSz;
using Stored = InMemoryRegistryDouble::StoredValue;
using namespace std::string_literals;

const std::u16string kPath = u"Software\\Orv\\Settings";

// Every byte value as the one character it reads back as.
std::u16string allByteValues() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return text::fromAnsi(bytes);
}

class RegistryValues : public RegistryFixture {};

TEST_F(RegistryValues, StringIsStoredAsAnsiWithoutTerminatorAndReadBack) {
  component->Reg_SaveSettingString(HkeyCurrentUser, kPath, u"Owner", u"Grüße");
  EXPECT_EQ(registry->stored(hkcu(), "Software\\Orv\\Settings", "Owner"), (Stored{kRegSz, "Gr\xFC\xDF" "e"}));
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, kPath, u"Owner", u"none"), u"Grüße");

  component->Reg_SaveSettingString(HkeyCurrentUser, kPath, u"Empty", u"");
  EXPECT_EQ(registry->stored(hkcu(), "Software\\Orv\\Settings", "Empty"), (Stored{kRegSz, ""}));
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, kPath, u"Empty", u"none"), u"");

  component->Reg_SaveSettingString(HkeyCurrentUser, kPath, u"", u"unnamed");
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, kPath, u""), u"unnamed");
  EXPECT_TRUE(reported.empty());
}

TEST_F(RegistryValues, StringReadEndsAtFirstNulOfForeignValue) {
  registry->store(hkcu(), "Software\\Other", "WithNul", kRegSz, "C:\\Data\0"s);
  registry->store(hkcu(), "Software\\Other", "Embedded", kRegSz, "left\0right\0"s);
  registry->store(hkcu(), "Software\\Other", "OnlyNul", kRegSz, "\0"s);
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Other", u"WithNul", u"d"), u"C:\\Data");
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Other", u"Embedded", u"d"), u"left");
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Other", u"OnlyNul", u"d"), u"");
}

TEST_F(RegistryValues, StringReadGivesDefaultForOtherTypes) {
  registry->store(hkcu(), "Software\\Other", "Expand", kRegExpandSz, "%TEMP%\\x\0"s);
  registry->store(hkcu(), "Software\\Other", "Multi", kRegMultiSz, "a\0b\0\0"s);
  registry->store(hkcu(), "Software\\Other", "Number", kRegDword, "\x01\x00\x00\x00"s);
  for (const char16_t* name : {u"Expand", u"Multi", u"Number"}) {
    EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Other", name, u"fallback"), u"fallback");
  }
}

TEST_F(RegistryValues, MissingKeyOrValueGivesTheFallbacks) {
  registry->store(hkcu(), "Software\\Orv", "Present", kRegSz, "x");
  for (const char16_t* path : {u"Software\\Orv", u"Software\\Missing"}) {
    EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, path, u"Absent", u"fallback"), u"fallback");
    EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, path, u"Absent"), u"");
    EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, path, u"Absent", 77), 77);
    EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, path, u"Absent"), 0);
    EXPECT_EQ(component->Reg_GetSettingBinary(HkeyCurrentUser, path, u"Absent"), u"");
  }
  EXPECT_FALSE(registry->hasKey(hkcu(), "Software\\Missing"));
  EXPECT_TRUE(reported.empty());
}

TEST_F(RegistryValues, DWordIsStoredLeastSignificantByteFirst) {
  component->Reg_SaveSettingDWord(HkeyCurrentUser, kPath, u"Minus", -1);
  component->Reg_SaveSettingDWord(HkeyCurrentUser, kPath, u"Pattern", 0x12345678);
  component->Reg_SaveSettingDWord(HkeyCurrentUser, kPath, u"Lowest", INT32_MIN);
  EXPECT_EQ(registry->stored(hkcu(), "Software\\Orv\\Settings", "Minus"), (Stored{kRegDword, "\xFF\xFF\xFF\xFF"}));
  EXPECT_EQ(registry->stored(hkcu(), "Software\\Orv\\Settings", "Pattern"), (Stored{kRegDword, "\x78\x56\x34\x12"}));
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, kPath, u"Minus", 5), -1);
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, kPath, u"Pattern"), 0x12345678);
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, kPath, u"Lowest"), INT32_MIN);
}

TEST_F(RegistryValues, DWordReadTakesAnyTypeOfAtMostFourBytes) {
  registry->store(hkcu(), "Software\\Other", "Abc", kRegSz, "abc\0"s);
  registry->store(hkcu(), "Software\\Other", "Abcd", kRegSz, "abcd\0"s);
  registry->store(hkcu(), "Software\\Other", "Short", kRegBinary, "\x34\x12"s);
  registry->store(hkcu(), "Software\\Other", "Full", kRegBinary, "\xFF\xFF\xFF\xFF"s);
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, u"Software\\Other", u"Abc", -5), 0x00636261);
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, u"Software\\Other", u"Abcd", -5), -5);
  // A short value after a full one is zero-extended, not topped up with the earlier bytes.
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, u"Software\\Other", u"Full"), -1);
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, u"Software\\Other", u"Short"), 0x1234);
}

TEST_F(RegistryValues, BinaryKeepsEveryByteValue) {
  const std::u16string data = allByteValues();
  component->Reg_SaveSettingBinary(HkeyCurrentUser, kPath, u"Blob", data);
  const auto stored = registry->stored(hkcu(), "Software\\Orv\\Settings", "Blob");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, kRegBinary);
  ASSERT_EQ(stored->bytes.size(), 256u);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(static_cast<unsigned char>(stored->bytes[b]), b);
  EXPECT_EQ(component->Reg_GetSettingBinary(HkeyCurrentUser, kPath, u"Blob"), data);
}

TEST_F(RegistryValues, BinaryEdgeLengthsAndUnmappableCharacters) {
  component->Reg_SaveSettingBinary(HkeyCurrentUser, kPath, u"Empty", u"");
  EXPECT_EQ(registry->stored(hkcu(), "Software\\Orv\\Settings", "Empty"), (Stored{kRegBinary, ""}));
  EXPECT_EQ(component->Reg_GetSettingBinary(HkeyCurrentUser, kPath, u"Empty"), u"");

  component->Reg_SaveSettingBinary(HkeyCurrentUser, kPath, u"One", std::u16string(1, u'\0'));
  EXPECT_EQ(component->Reg_GetSettingBinary(HkeyCurrentUser, kPath, u"One"), std::u16string(1, u'\0'));

  // A character the code page lacks goes in as the question mark the conversion gives it.
  component->Reg_SaveSettingBinary(HkeyCurrentUser, kPath, u"Foreign", u"a\u4E2Db");
  EXPECT_EQ(registry->stored(hkcu(), "Software\\Orv\\Settings", "Foreign"), (Stored{kRegBinary, "a?b"}));
  EXPECT_TRUE(reported.empty());
}

TEST_F(RegistryValues, BinaryReadReturnsForeignValuesByteForByte) {
  registry->store(hkcu(), "Software\\Other", "Text", kRegSz, "abc\0"s);
  registry->store(hkcu(), "Software\\Other", "Number", kRegDword, "\x01\x00\x00\x80"s);
  EXPECT_EQ(component->Reg_GetSettingBinary(HkeyCurrentUser, u"Software\\Other", u"Text"), u"abc\0"s);
  EXPECT_EQ(component->Reg_GetSettingBinary(HkeyCurrentUser, u"Software\\Other", u"Number"),
            text::fromAnsi("\x01\x00\x00\x80"s));
}

// Positions are not 16-bit: values past 32,767 characters go in and come out whole.
TEST_F(RegistryValues, LongValuesAreWrittenAndReadWhole) {
  std::u16string text(100000, u'x');
  for (std::size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char16_t>(u'a' + i % 26);
  component->Reg_SaveSettingString(HkeyCurrentUser, kPath, u"LongText", text);
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, kPath, u"LongText"), text);

  std::u16string blob(100000, u'\0');
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<char16_t>(i % 128);
  component->Reg_SaveSettingBinary(HkeyCurrentUser, kPath, u"LongBlob", blob);
  EXPECT_EQ(registry->stored(hkcu(), "Software\\Orv\\Settings", "LongBlob")->bytes.size(), 100000u);
  EXPECT_EQ(component->Reg_GetSettingBinary(HkeyCurrentUser, kPath, u"LongBlob"), blob);

  registry->store(hkcu(), "Software\\Other", "LateNul", kRegSz, std::string(40000, 'n') + "\0tail"s);
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Other", u"LateNul"),
            std::u16string(40000, u'n'));
  EXPECT_TRUE(reported.empty());
}

}  // namespace
}  // namespace orv::testing
