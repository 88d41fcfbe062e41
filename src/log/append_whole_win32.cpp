#include <windows.h>

#include "base/failure.h"
#include "log/log_files.h"
#include "platform/unique_handle_win32.h"

namespace orv::log {
namespace {

// Another writer may hold the file for a moment without sharing: wait a little for it.
constexpr int kSharingRetries = 50;
constexpr DWORD kSharingRetryMilliseconds = 10;

}  // namespace

bool appendWhole(const std::u16string& file, std::string_view bytes) {
  const auto* path = reinterpret_cast<const wchar_t*>(file.c_str());
  platform::UniqueHandle handle;
  for (int attempt = 0; attempt <= kSharingRetries; ++attempt) {
    handle = platform::UniqueHandle(CreateFileW(path, FILE_APPEND_DATA,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle || GetLastError() != ERROR_SHARING_VIOLATION) break;
    Sleep(kSharingRetryMilliseconds);
  }
  if (!handle) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (!ok || written != bytes.size()) throwDiskFull();
  return true;
}

}  // namespace orv::log
