#pragma once
// Self-registration: the type library, the class (in-process, apartment-threaded), the ProgID
// "OrvAcctMan.clsOrvAcctMan" and all seven interface identifiers. Unregistration removes exactly
// those keys.
#include <windows.h>

namespace orv::com {

HRESULT registerServer();
HRESULT unregisterServer();

}  // namespace orv::com
