// The Reg_ methods through COM, early bound and by DISPID, against Wine's registry under
// HKEY_CURRENT_USER\Software\OrvAcctManComTests.
#include "com_test_support.h"

namespace orv::testing {
namespace {

constexpr LONG kCurrentUser = static_cast<LONG>(0x80000001);

class RegistryMethodTest : public ObjectTest {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrvAcctManComTests");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\OrvAcctManComTests");
    ObjectTest::TearDown();
  }

  HKeyHive root_ = static_cast<HKeyHive>(kCurrentUser);
  Bstr path_{L"Software\\OrvAcctManComTests\\Early"};
};

bool keyExists(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

TEST_F(RegistryMethodTest, EarlyBoundValuesRoundTripAndDelete) {
  Bstr name(L"Text");
  Bstr data(L"hello");
  ASSERT_EQ(S_OK, object_->Reg_SaveSettingString(&root_, &path_.value, &name.value, &data.value));
  Bstr read;
  Bstr fallback(L"none");
  ASSERT_EQ(S_OK, object_->Reg_GetSettingString(&root_, &path_.value, &name.value, &fallback.value, read.out()));
  EXPECT_EQ(L"hello", read.text());

  Bstr number(L"Number");
  LONG value = -7;
  ASSERT_EQ(S_OK, object_->Reg_SaveSettingDWord(&root_, &path_.value, &number.value, &value));
  LONG readNumber = 0;
  LONG defaultNumber = 99;
  ASSERT_EQ(S_OK, object_->Reg_GetSettingDWord(&root_, &path_.value, &number.value, &defaultNumber, &readNumber));
  EXPECT_EQ(-7, readNumber);

  Bstr bytes(L"Bytes");
  Bstr binary(L"a\0b");
  SysFreeString(binary.value);
  binary.value = SysAllocStringLen(L"a\0b", 3);
  ASSERT_EQ(S_OK, object_->Reg_SaveSettingBinary(&root_, &path_.value, &bytes.value, &binary.value));
  Bstr readBinary;
  ASSERT_EQ(S_OK, object_->Reg_GetSettingBinary(&root_, &path_.value, &bytes.value, readBinary.out()));
  EXPECT_EQ(std::wstring(L"a\0b", 3), readBinary.text());

  ASSERT_EQ(S_OK, object_->Reg_DeleteValue(&root_, path_.value, name.value));
  ASSERT_EQ(S_OK, object_->Reg_GetSettingString(&root_, &path_.value, &name.value, &fallback.value, read.out()));
  EXPECT_EQ(L"none", read.text());

  ASSERT_EQ(S_OK, object_->Reg_DeleteKey(&root_, path_.value));
  EXPECT_FALSE(keyExists(L"Software\\OrvAcctManComTests\\Early"));
}

TEST_F(RegistryMethodTest, LateBoundCallsReachTheSameRegistry) {
  Variant root(kCurrentUser);
  Variant path(L"Software\\OrvAcctManComTests\\Late");
  Variant name(L"Text");
  Variant data(L"from script");
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::kRegCreateKey, {byRefVariant(root), byRefVariant(path)}));
  EXPECT_TRUE(keyExists(L"Software\\OrvAcctManComTests\\Late"));
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::kRegSaveSettingString,
                         {byRefVariant(root), byRefVariant(path), byRefVariant(name), byRefVariant(data)}));

  Bstr earlyPath(L"Software\\OrvAcctManComTests\\Late");
  Bstr earlyName(L"Text");
  Bstr read;
  ASSERT_EQ(S_OK, object_->Reg_GetSettingString(&root_, &earlyPath.value, &earlyName.value, nullptr, read.out()));
  EXPECT_EQ(L"from script", read.text());

  // Default left out: empty text, and 0 for the number.
  Variant missing(L"Missing");
  Variant text;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::kRegGetSettingString, {byValue(root), byValue(path), byValue(missing)},
                         text.get()));
  EXPECT_EQ(VT_BSTR, (*text).vt);
  EXPECT_EQ(L"", text.text());
  Variant number;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::kRegGetSettingDWord, {byValue(root), byValue(path), byValue(missing)},
                         number.get()));
  EXPECT_EQ(VT_I4, (*number).vt);
  EXPECT_EQ(0, (*number).lVal);

  Variant fallback(static_cast<LONG>(12));
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::kRegGetSettingDWord,
                         {byValue(root), byValue(path), byValue(missing), byValue(fallback)}, number.get()));
  EXPECT_EQ(12, (*number).lVal);

  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::kRegDeleteValue, {byValue(root), byValue(path), byValue(name)}));
  ASSERT_EQ(S_OK, object_->Reg_GetSettingString(&root_, &earlyPath.value, &earlyName.value, nullptr, read.out()));
  EXPECT_EQ(L"", read.text());
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::kRegDeleteKey, {byValue(root), byValue(path)}));
  EXPECT_FALSE(keyExists(L"Software\\OrvAcctManComTests\\Late"));
}

}  // namespace
}  // namespace orv::testing
