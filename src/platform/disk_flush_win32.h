#pragma once
// Whether what was written through a handle has reached the disk. In a file of its own, so that a
// test build can link one that fails, as a disk that lost written pages makes it fail.
#include <windows.h>

namespace orv::platform {

// False, with the system's error set, when it has not.
bool flushToDisk(HANDLE file) noexcept;

}  // namespace orv::platform
