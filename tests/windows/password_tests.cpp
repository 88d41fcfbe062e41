// EnCrypt_Pwd and DeCrypt_Pwd through COM: early bound and by DISPID they invert each other,
// and DeCrypt_Pwd's by-reference sPwd comes back to the caller as its hex-decoded text,
// whichever way the caller passed its variable.
#include "com_fixtures.h"

namespace orv::testing {
namespace {

class PasswordTest : public ObjectTest {
 protected:
  std::wstring encryptEarly(const wchar_t* password, const wchar_t* key) {
    Bstr pwd(password);
    Bstr keyText(key);
    Bstr result;
    EXPECT_EQ(S_OK, object_->EnCrypt_Pwd(pwd.ref(), keyText.ref(), result.out()));
    EXPECT_EQ(password, pwd.text());
    EXPECT_EQ(key, keyText.text());
    return result.text();
  }
};

TEST_F(PasswordTest, EarlyAndLateBoundInvertEachOther) {
  for (const wchar_t* password : {L"", L"abcd", L"abcde", L"correct horse battery"}) {
    for (const wchar_t* key : {L"", L"key", L"a much longer key than usual"}) {
      const std::wstring cipher = encryptEarly(password, key);
      EXPECT_EQ(0u, cipher.size() % 16);

      Variant cipherVariable(cipher.c_str());
      Variant keyVariable(key);
      Variant plain;
      ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::DeCrypt_Pwd, {byRefVariant(cipherVariable), byRefVariant(keyVariable)},
                             plain.get()));
      EXPECT_EQ(password, plain.text());

      Variant late;
      ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::EnCrypt_Pwd, {byValue(plain), byValue(keyVariable)}, late.get()));
      Bstr lateCipher(late.text().c_str());
      Bstr keyText(key);
      Bstr again;
      ASSERT_EQ(S_OK, object_->DeCrypt_Pwd(lateCipher.ref(), keyText.ref(), again.out()));
      EXPECT_EQ(password, again.text());
    }
  }
}

TEST_F(PasswordTest, CipherTextLengthFollowsThePasswordLength) {
  EXPECT_EQ(32u, encryptEarly(L"abcd", L"k").size());
  EXPECT_EQ(48u, encryptEarly(L"abcde", L"k").size());
  EXPECT_EQ(64u, encryptEarly(L"abcdefghijklm", L"k").size());
}

TEST_F(PasswordTest, DecryptWritesTheDecodedTextBackIntoEveryKindOfVariable) {
  const std::wstring cipher = encryptEarly(L"secret", L"k");

  Bstr early(cipher.c_str());
  Bstr key(L"k");
  Bstr plain;
  ASSERT_EQ(S_OK, object_->DeCrypt_Pwd(early.ref(), key.ref(), plain.out()));
  EXPECT_EQ(L"secret", plain.text());
  EXPECT_EQ(cipher.size() / 2, early.text().size());
  EXPECT_EQ(L"k", key.text());

  Variant script(cipher.c_str());  // VBScript: VT_BYREF|VT_VARIANT
  Variant keyVariable(L"k");
  Variant result;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::DeCrypt_Pwd, {byRefVariant(script), byRefVariant(keyVariable)},
                         result.get()));
  EXPECT_EQ(VT_BSTR, (*script).vt);
  EXPECT_EQ(early.text(), script.text());
  EXPECT_EQ(L"k", keyVariable.text());

  BSTR typed = SysAllocString(cipher.c_str());  // VB: VT_BYREF|VT_BSTR
  Variant typedResult;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::DeCrypt_Pwd, {byRefBstr(&typed), byValue(keyVariable)},
                         typedResult.get()));
  EXPECT_EQ(early.text(), fromBstr(typed));
  SysFreeString(typed);

  Variant literal(cipher.c_str());  // an expression: nothing to write back into
  Variant literalResult;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::DeCrypt_Pwd, {byValue(literal), byValue(keyVariable)},
                         literalResult.get()));
  EXPECT_EQ(L"secret", literalResult.text());
  EXPECT_EQ(cipher, literal.text());
}

}  // namespace
}  // namespace orv::testing
