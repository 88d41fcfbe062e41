#pragma once
// A failed Win32 call as the component reports it: the error as an HRESULT read as a signed
// number, with the system's text for it.
#include <windows.h>

namespace orv::about {

[[noreturn]] void throwWin32Error(DWORD error);
[[noreturn]] inline void throwLastWin32Error() { throwWin32Error(GetLastError()); }

}  // namespace orv::about
