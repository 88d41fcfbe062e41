#include <windows.h>

#include "platform/file_identity.h"
#include "platform/system_failure_win32.h"

namespace orv::platform {

FileIdentity identityOf(const ReadableFile& file) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file.native().get(), &information)) throwLastError();
  const auto wide = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
  return {information.dwVolumeSerialNumber, wide(information.nFileIndexHigh, information.nFileIndexLow),
          wide(information.nFileSizeHigh, information.nFileSizeLow),
          static_cast<std::int64_t>(
              wide(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime))};
}

std::size_t readAt(ReadableFile& file, std::uint64_t offset, char* data, std::size_t size) {
  seekTo(file, offset);
  std::size_t done = 0;
  while (done < size) {
    const std::size_t got = file.read(data + done, size - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

void seekTo(ReadableFile& file, std::uint64_t offset) {
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.native().get(), to, nullptr, FILE_BEGIN)) throwLastError();
}

}  // namespace orv::platform
