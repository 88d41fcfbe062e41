// Reg_DeleteValue, Reg_DeleteKey, Reg_CreateKey: keys and values as wholes.
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"
#include "registry/method_support.h"
#include "registry/scoped_key.h"
#include "text/ansi_codepage.h"

namespace orv {

using registry::rootOf;
using text::toAnsi;

void clsOrvAcctMan::Reg_DeleteValue(HKeyHive hKey, std::u16string strPath, std::u16string strValue) {
  MethodGuard guard(*this, u"Reg_DeleteValue(HKEY As HKeyHive, ByVal strPath As String, ByVal strValue As String)");
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  // RegOpenKeyA takes no access mask; a key that cannot be opened loses nothing.
  guard.step([&] {
    m_lngResult = api.openKey(rootOf(hKey), toAnsi(strPath), key.receive());
    m_lngKeyHandle = key.get();
  });
  guard.step([&] { m_lngResult = api.deleteValue(key.get(), toAnsi(strValue)); });
  m_lngResult = key.close();
}

void clsOrvAcctMan::Reg_DeleteKey(HKeyHive hKey, std::u16string strPath) {
  MethodGuard guard(*this, u"Reg_DeleteKey(HKEY As HKeyHive, ByVal strPath As String)");
  // One call, not recursive: a key the registry refuses to delete (one with subkeys) stays.
  guard.step([&] { m_lngResult = services_.registry->deleteKey(rootOf(hKey), toAnsi(strPath)); });
}

void clsOrvAcctMan::Reg_CreateKey(HKeyHive hKey, const std::u16string& strPath) {
  MethodGuard guard(*this, u"Reg_CreateKey(HKEY As HKeyHive, strPath As String)");
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  guard.step([&] {
    m_lngResult = api.createKey(rootOf(hKey), toAnsi(strPath), key.receive());
    m_lngKeyHandle = key.get();
  });
  m_lngResult = key.close();
}

}  // namespace orv
