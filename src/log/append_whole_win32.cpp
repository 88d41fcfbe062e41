#include <windows.h>

#include <algorithm>

#include "log/append_lock_wait.h"
#include "log/log_files.h"
#include "platform/unique_handle_win32.h"

namespace orv::log {
namespace {

// Another writer may hold the file for a moment without sharing: wait a little for it.
constexpr int kSharingRetries = 50;
constexpr DWORD kSharingRetryMilliseconds = 10;

// Append-only access keeps every write at the end; LockFileEx wants read access besides. A file
// we may only append to (its permissions deny reading, or another program holds it open and
// denies it) is still written, without the lock, as before there was one.
platform::UniqueHandle openToAppend(const wchar_t* path) {
  constexpr DWORD kSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  platform::UniqueHandle handle;
  for (int attempt = 0; attempt <= kSharingRetries; ++attempt) {
    for (const DWORD access : {DWORD{FILE_APPEND_DATA | FILE_READ_DATA}, DWORD{FILE_APPEND_DATA}}) {
      handle = platform::UniqueHandle(
          CreateFileW(path, access, kSharing, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (handle) return handle;
      const DWORD error = GetLastError();
      if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return handle;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION) break;
    Sleep(kSharingRetryMilliseconds);
  }
  return handle;
}

// Takes the append lock of the open file, waiting a bounded time; closing the handle releases
// it (one call to the file system fewer per record than unlocking first, and the lock guards
// nothing after the write). Windows also drops the locks of a process that ends, so a writer
// that dies holding it keeps nobody waiting. A file system without locks, or a handle opened to
// append only, gets the append unlocked.
void takeAppendLockOf(HANDLE file) {
  takeAppendLock([file] {
    OVERLAPPED region{};
    region.Offset = static_cast<DWORD>(kAppendLockOffset);
    region.OffsetHigh = static_cast<DWORD>(kAppendLockOffset >> 32);
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &region)) {
      return LockAttempt::taken;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockAttempt::heldElsewhere : LockAttempt::impossible;
  });
}

}  // namespace

AppendOutcome appendWhole(const std::u16string& file, std::string_view bytes) {
  const platform::UniqueHandle handle = openToAppend(reinterpret_cast<const wchar_t*>(file.c_str()));
  if (!handle) return AppendOutcome::NotOpened;
  takeAppendLockOf(handle.get());
  // Under the lock no other writer appends, so the rest of a short write follows it directly.
  std::string_view rest = bytes;
  while (!rest.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), MAXDWORD));
    if (!WriteFile(handle.get(), rest.data(), chunk, &written, nullptr) || written == 0) {
      return AppendOutcome::NotWritten;
    }
    rest.remove_prefix(written);
  }
  return AppendOutcome::Appended;
}

}  // namespace orv::log
