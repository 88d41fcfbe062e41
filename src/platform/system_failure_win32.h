#pragma once
// The failure the last Windows call left in GetLastError, thrown as std::system_error.

#include <windows.h>

#include <system_error>

namespace orv::platform {

[[noreturn]] inline void throwLastError() {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
}

[[noreturn]] inline void throwLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

}  // namespace orv::platform
