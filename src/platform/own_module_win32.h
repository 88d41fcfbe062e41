#pragma once
// The module (DLL or program) this code is linked into, and its full path.
#include <windows.h>

#include <string>

namespace orv {

HMODULE ownModule() noexcept;
std::wstring ownModulePath();  // empty when the system cannot tell

}  // namespace orv
