#pragma once
// Self-registration: the type library, the class (in-process, apartment-threaded), the ProgID
// "OrvAcctMan.clsOrvAcctMan" and all seven interface identifiers, the rows of registration_rows.h
// (which the MSI packages carry as their own). Unregistration removes exactly those keys. Per machine they go under HKEY_CLASSES_ROOT (DllRegisterServer); per user, for
// people without administrator rights, the same keys go under HKEY_CURRENT_USER\Software\Classes
// (DllInstall with "user"), the type library's included.
#include <windows.h>

#include <optional>

namespace orv::com {

enum class Scope { Machine, User };

HRESULT registerServer(Scope scope = Scope::Machine);
HRESULT unregisterServer(Scope scope = Scope::Machine);

// The scope DllInstall's command line names: "user", or "machine" or nothing; anything else
// is no scope.
std::optional<Scope> installScope(const wchar_t* commandLine);

}  // namespace orv::com
