// EnCrypt_Pwd and DeCrypt_Pwd: passwords to hexadecimal cipher text and back, each call on a
// clsBlowfish of its own. The cipher comes keyed from the instance's cache of recent keys, where
// a fresh instance keyed once would stand, and goes back to it afterwards.
#include <memory>
#include <string>
#include <utility>

#include "cipher/clsBlowfish.h"
#include "cipher/keyed_cipher_cache.h"
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"

namespace orv {
namespace {

using cipher::clsBlowfish;

// A call on a cipher that was never created fails as a call on an unset object would.
clsBlowfish& cipherOf(const std::unique_ptr<clsBlowfish>& cipher) {
  if (!cipher) throwObjectVariableNotSet();
  return *cipher;
}

}  // namespace

cipher::KeyedCipherCache& clsOrvAcctMan::keyedCiphers() {
  if (!keyedCiphers_) keyedCiphers_ = std::make_unique<cipher::KeyedCipherCache>();
  return *keyedCiphers_;
}

// The steps both methods share: the keyed cipher taken, the one operation, the cipher given back.
template <class Operation>
auto clsOrvAcctMan::withKeyedCipher(std::u16string_view procedure, const SecretText& key, Operation operation) {
  Guard guard(*this, procedure);
  decltype(operation(std::declval<clsBlowfish&>())) result;
  guard.step([&] { m_Blowfish = keyedCiphers().take(key); });
  guard.step([&] { result = operation(cipherOf(m_Blowfish)); });
  guard.step([&] { keyedCiphers().giveBack(std::move(m_Blowfish)); });
  return result;
}

std::u16string clsOrvAcctMan::EnCrypt_Pwd(const SecretText& sPwd, const SecretText& sKey) {
  return withKeyedCipher(u"EnCrypt_Pwd(sPwd As String, sKey As String) As String", sKey,
                         [&](clsBlowfish& cipher) { return cipher.EncryptString(sPwd.str(), sKey.str(), true); });
}

SecretText clsOrvAcctMan::DeCrypt_Pwd(std::u16string& sPwd, const SecretText& sKey) {
  // DecryptString leaves the decoded raw text in the caller's sPwd.
  return withKeyedCipher(u"DeCrypt_Pwd(sPwd As String, sKey As String) As String", sKey,
                         [&](clsBlowfish& cipher) { return cipher.DecryptString(sPwd, sKey.str(), true); });
}

}  // namespace orv
