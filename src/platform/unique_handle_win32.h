#pragma once
// Owned Win32 handles: files (invalid as INVALID_HANDLE_VALUE) and registry keys (invalid as
// null).
#include <windows.h>

#include "platform/unique_resource.h"

namespace orv::platform {

inline bool closeHandle(HANDLE handle) noexcept { return CloseHandle(handle) != FALSE; }
inline HANDLE invalidHandle() noexcept { return INVALID_HANDLE_VALUE; }
inline bool closeKey(HKEY key) noexcept { return RegCloseKey(key) == ERROR_SUCCESS; }

using UniqueHandle = UniqueResource<HANDLE, closeHandle, invalidHandle>;
using UniqueKey = UniqueResource<HKEY, closeKey, HKEY{}>;

}  // namespace orv::platform
