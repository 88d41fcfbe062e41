// EnCrypt_Pwd and DeCrypt_Pwd: passwords to hexadecimal cipher text and back, each call on a
// clsBlowfish of its own. Keyed tables of recent keys are reused, so an engine may start from
// them instead of paying the key schedule again; it then stands exactly where a fresh
// instance keyed once would.
#include <memory>
#include <string>

#include "cipher/clsBlowfish.h"
#include "cipher/key_bytes.h"
#include "cipher/keyed_engine_cache.h"
#include "cipher/password.h"
#include "cipher/secure_wipe.h"
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"

namespace orv {
namespace {

using cipher::clsBlowfish;
using cipher::KeyedEngineCache;

// A call on an engine that was never created fails as a call on an unset object would.
clsBlowfish& engineOf(const std::unique_ptr<clsBlowfish>& engine) {
  if (!engine) throwObjectVariableNotSet();
  return *engine;
}

std::unique_ptr<clsBlowfish> newEngine(std::unique_ptr<KeyedEngineCache>& cache, const std::u16string& key) {
  if (!key.empty()) {
    if (!cache) cache = std::make_unique<KeyedEngineCache>();
    std::string keyBytes = cipher::keyScheduleBytes(key);
    const cipher::BlowfishTables* keyed = cache->find(keyBytes);
    cipher::secureWipe(keyBytes);
    if (keyed != nullptr) return std::make_unique<clsBlowfish>(*keyed, key);
  }
  return std::make_unique<clsBlowfish>();
}

void releaseEngine(std::unique_ptr<clsBlowfish>& engine, KeyedEngineCache* cache, const std::u16string& key) {
  // Only an engine that holds this key applied once has tables worth keeping.
  if (engine && cache != nullptr && !key.empty() && engine->currentKey() == key) {
    std::string keyBytes = cipher::keyScheduleBytes(key);
    cache->remember(keyBytes, engine->tables());
    cipher::secureWipe(keyBytes);
  }
  engine.reset();
}

}  // namespace

std::u16string clsOrvAcctMan::EnCrypt_Pwd(const std::u16string& sPwd, const std::u16string& sKey) {
  Guard guard(*this, u"EnCrypt_Pwd(sPwd As String, sKey As String) As String");
  std::u16string result;
  guard.step([&] { m_Blowfish = newEngine(keyedEngines_, sKey); });
  guard.step([&] { result = engineOf(m_Blowfish).EncryptString(sPwd, sKey, true); });
  guard.step([&] { releaseEngine(m_Blowfish, keyedEngines_.get(), sKey); });
  return result;
}

std::u16string clsOrvAcctMan::DeCrypt_Pwd(std::u16string& sPwd, const std::u16string& sKey) {
  Guard guard(*this, u"DeCrypt_Pwd(sPwd As String, sKey As String) As String");
  std::u16string result;
  guard.step([&] { m_Blowfish = newEngine(keyedEngines_, sKey); });
  // The decoded raw text goes back into the caller's sPwd, as DecryptString leaves it.
  guard.step([&] {
    cipher::PasswordDecryption decrypted = cipher::decryptPassword(engineOf(m_Blowfish), sPwd, sKey);
    sPwd = std::move(decrypted.rawText);
    result = std::move(decrypted.text);
  });
  guard.step([&] { releaseEngine(m_Blowfish, keyedEngines_.get(), sKey); });
  return result;
}

}  // namespace orv
