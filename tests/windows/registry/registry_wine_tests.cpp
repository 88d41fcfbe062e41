// The nine Reg_ methods against the real registry, called directly, early bound and late
// bound. Each write is checked by an independent reader (the wide API and regedit exports), so
// stored types and bytes are verified, not only round trips.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "independent_reader.h"
#include "process_handles.h"
#include "registry_clients.h"

namespace orv::wintest {
namespace {

using namespace std::string_literals;

constexpr std::int32_t kHkcu = static_cast<std::int32_t>(0x80000001);

// One way of calling the component; its factory answers null when that way is unavailable.
struct Way {
  const char* name;
  std::unique_ptr<RegistryClient> (*make)();
};

std::string wayName(const ::testing::TestParamInfo<Way>& info) { return info.param.name; }

// Every byte value as the character the ANSI code page gives it.
std::wstring allByteValues() {
  char bytes[256];
  for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
  wchar_t text[256];
  MultiByteToWideChar(CP_ACP, 0, bytes, 256, text, 256);
  return std::wstring(text, 256);
}

class RegistryUnderWine : public ::testing::TestWithParam<Way> {
 protected:
  void SetUp() override {
    client = GetParam().make();
    ASSERT_TRUE(client);
    deleteTree(HKEY_CURRENT_USER, base);
  }
  void TearDown() override { deleteTree(HKEY_CURRENT_USER, base); }

  std::optional<RawValue> raw(const std::wstring& name) const { return readRaw(HKEY_CURRENT_USER, base, name); }
  std::wstring exported() const { return exportKey(L"HKEY_CURRENT_USER\\" + base); }

  const std::wstring base = L"Software\\OrvAcctManTests\\Registry";
  std::unique_ptr<RegistryClient> client;
};

TEST_P(RegistryUnderWine, StringsAreStoredAsRegSzWithoutTerminator) {
  client->SaveString(kHkcu, base, L"Owner", L"Grüße, world");
  EXPECT_EQ(raw(L"Owner"), (RawValue{REG_SZ, utf16Bytes(L"Grüße, world")}));
  EXPECT_EQ(client->GetString(kHkcu, base, L"Owner", L"none"), L"Grüße, world");

  client->SaveString(kHkcu, base, L"Empty", L"");
  EXPECT_EQ(raw(L"Empty"), (RawValue{REG_SZ, {}}));
  EXPECT_EQ(client->GetString(kHkcu, base, L"Empty", L"none"), L"");
  // No export check here: regedit takes the last character of unterminated text for its NUL.
}

TEST_P(RegistryUnderWine, DWordsAreStoredLeastSignificantByteFirst) {
  client->SaveDWord(kHkcu, base, L"Minus", -1);
  client->SaveDWord(kHkcu, base, L"Pattern", 0x12345678);
  EXPECT_EQ(raw(L"Minus"), (RawValue{REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}}));
  EXPECT_EQ(raw(L"Pattern"), (RawValue{REG_DWORD, {0x78, 0x56, 0x34, 0x12}}));
  EXPECT_EQ(client->GetDWord(kHkcu, base, L"Minus", 5), -1);
  EXPECT_EQ(client->GetDWord(kHkcu, base, L"Pattern", std::nullopt), 0x12345678);
  const std::wstring text = exported();
  EXPECT_NE(text.find(L"\"Minus\"=dword:ffffffff\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"\"Pattern\"=dword:12345678\r\n"), std::wstring::npos);
}

TEST_P(RegistryUnderWine, BinaryKeepsEveryByteValue) {
  const std::wstring data = allByteValues();
  client->SaveBinary(kHkcu, base, L"Blob", data);
  RawValue expected{REG_BINARY, {}};
  for (int b = 0; b < 256; ++b) expected.bytes.push_back(static_cast<std::uint8_t>(b));
  EXPECT_EQ(raw(L"Blob"), expected);
  EXPECT_EQ(client->GetBinary(kHkcu, base, L"Blob"), data);
  EXPECT_NE(exported().find(L"\"Blob\"=hex:00,01,02,03,"), std::wstring::npos);

  client->SaveBinary(kHkcu, base, L"Empty", L"");
  EXPECT_EQ(raw(L"Empty"), (RawValue{REG_BINARY, {}}));
  EXPECT_EQ(client->GetBinary(kHkcu, base, L"Empty"), L"");
}

TEST_P(RegistryUnderWine, ValuesWrittenByOtherPrograms) {
  const std::wstring key = L"HKCU\\" + base;
  ASSERT_TRUE(runCommand(L"reg add \"" + key + L"\" /v Text /t REG_SZ /d abc /f >NUL"));
  ASSERT_TRUE(runCommand(L"reg add \"" + key + L"\" /v Expand /t REG_EXPAND_SZ /d %%TEMP%% /f >NUL"));
  ASSERT_TRUE(runCommand(L"reg add \"" + key + L"\" /v Multi /t REG_MULTI_SZ /d a\\0b /f >NUL"));
  EXPECT_EQ(raw(L"Text"), (RawValue{REG_SZ, utf16Bytes(L"abc"s + L'\0')}));

  EXPECT_EQ(client->GetString(kHkcu, base, L"Text", L"d"), L"abc");
  EXPECT_EQ(client->GetBinary(kHkcu, base, L"Text"), L"abc"s + L'\0');
  EXPECT_EQ(client->GetDWord(kHkcu, base, L"Text", 7), 0x00636261);
  EXPECT_EQ(client->GetString(kHkcu, base, L"Expand", L"d"), L"d");
  EXPECT_EQ(client->GetString(kHkcu, base, L"Multi", L"d"), L"d");

  writeRaw(HKEY_CURRENT_USER, base, L"Embedded", REG_SZ, utf16Bytes(L"left\0right\0"s));
  writeRaw(HKEY_CURRENT_USER, base, L"OnlyNul", REG_SZ, utf16Bytes(L"\0"s));
  writeRaw(HKEY_CURRENT_USER, base, L"Long", REG_SZ, utf16Bytes(L"abcd\0"s));
  EXPECT_EQ(client->GetString(kHkcu, base, L"Embedded", L"d"), L"left");
  EXPECT_EQ(client->GetString(kHkcu, base, L"OnlyNul", L"d"), L"");
  EXPECT_EQ(client->GetDWord(kHkcu, base, L"Long", 7), 7);
}

TEST_P(RegistryUnderWine, HundredThousandCharacterValues) {
  std::wstring text(100000, L'x');
  for (std::size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<wchar_t>(L'a' + i % 26);
  client->SaveString(kHkcu, base, L"LongText", text);
  EXPECT_EQ(raw(L"LongText"), (RawValue{REG_SZ, utf16Bytes(text)}));
  EXPECT_EQ(client->GetString(kHkcu, base, L"LongText", std::nullopt), text);

  std::wstring blob(100000, L'\0');
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<wchar_t>(i % 128);
  client->SaveBinary(kHkcu, base, L"LongBlob", blob);
  const auto stored = raw(L"LongBlob");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(stored->bytes.size(), 100000u);
  EXPECT_EQ(client->GetBinary(kHkcu, base, L"LongBlob"), blob);
}

TEST_P(RegistryUnderWine, KeysAndValuesComeAndGo) {
  client->CreateKey(kHkcu, base + L"\\A\\B\\C");
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, base + L"\\A\\B\\C"));

  client->DeleteKey(kHkcu, base + L"\\A\\B");
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, base + L"\\A\\B\\C")) << "a key with subkeys stays";
  client->DeleteKey(kHkcu, base + L"\\A\\B\\C");
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, base + L"\\A\\B\\C"));
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, base + L"\\A\\B"));

  client->SaveString(kHkcu, base, L"Gone", L"1");
  client->SaveString(kHkcu, base, L"Stays", L"2");
  client->DeleteValue(kHkcu, base, L"Gone");
  EXPECT_FALSE(raw(L"Gone").has_value());
  EXPECT_TRUE(raw(L"Stays").has_value());
}

TEST_P(RegistryUnderWine, MissingValuesAndUnknownRootsGiveTheFallbacks) {
  EXPECT_EQ(client->GetString(kHkcu, base + L"\\Missing", L"V", L"fallback"), L"fallback");
  EXPECT_EQ(client->GetString(kHkcu, base, L"Missing", std::nullopt), L"");
  EXPECT_EQ(client->GetDWord(kHkcu, base, L"Missing", 77), 77);
  EXPECT_EQ(client->GetDWord(kHkcu, base, L"Missing", std::nullopt), 0);
  EXPECT_EQ(client->GetBinary(kHkcu, base, L"Missing"), L"");

  constexpr std::int32_t kNoRoot = 0x12345678;
  client->SaveString(kNoRoot, base, L"S", L"x");
  client->CreateKey(kNoRoot, base + L"\\K");
  EXPECT_EQ(client->GetString(kNoRoot, base, L"S", L"d"), L"d");
  EXPECT_EQ(client->GetDWord(kNoRoot, base, L"S", 3), 3);
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, base));
}

// Each of the nine methods in turn, on keys and values that exist and ones that do not.
TEST_P(RegistryUnderWine, NoKeyHandleOutlivesItsCall) {
  RegistryClient& c = *client;
  const std::vector<std::function<void()>> calls = {
      [&] { c.SaveString(kHkcu, base, L"S", L"text"); },         //
      [&] { c.GetString(kHkcu, base, L"S", L"d"); },             //
      [&] { c.SaveDWord(kHkcu, base, L"D", 1); },                //
      [&] { c.GetDWord(kHkcu, base + L"\\Missing", L"D", 0); },  //
      [&] { c.SaveBinary(kHkcu, base, L"B", L"ab"); },           //
      [&] { c.GetBinary(kHkcu, base, L"B"); },                   //
      [&] { c.CreateKey(kHkcu, base + L"\\K"); },                //
      [&] { c.DeleteValue(kHkcu, base, L"D"); },                 //
      [&] { c.DeleteKey(kHkcu, base + L"\\K"); },
  };
  for (const auto& call : calls) call();  // lets the system open what it caches
  const std::size_t before = openHandleCount();
  for (int i = 0; i < 10000; ++i) calls[i % calls.size()]();
  EXPECT_EQ(openHandleCount(), before);
}

INSTANTIATE_TEST_SUITE_P(AllWays, RegistryUnderWine,
                         ::testing::Values(Way{"Direct", makeDirectClient}, Way{"EarlyBound", makeEarlyBoundClient},
                                           Way{"LateBound", makeLateBoundClient}),
                         wayName);

}  // namespace
}  // namespace orv::wintest
