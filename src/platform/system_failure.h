#pragma once
// The failure the last POSIX call left in errno, thrown as std::system_error.

#include <cerrno>
#include <system_error>

namespace orv::platform {

[[noreturn]] inline void throwErrno() { throw std::system_error(errno, std::generic_category()); }

[[noreturn]] inline void throwErrno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace orv::platform
