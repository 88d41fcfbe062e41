#include <windows.h>

#include "platform/file_lock.h"
#include "platform/system_failure_win32.h"

namespace orv::platform {

std::optional<FileLock> FileLock::tryTake(const std::filesystem::path& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throwLastError();
  OVERLAPPED at{};
  if (!LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    if (GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING) return std::nullopt;
    throwLastError();
  }
  return FileLock(std::move(file));
}

}  // namespace orv::platform
