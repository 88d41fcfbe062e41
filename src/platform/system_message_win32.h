#pragma once
// The system's text for an error code (a Win32 error or an HRESULT), without its line break;
// empty when the system has none.
#include <windows.h>

#include <string>

namespace orv::platform {

std::u16string systemMessage(DWORD code);

}  // namespace orv::platform
