#include <windows.h>

#include <system_error>

#include "platform/readable_file.h"
#include "platform/system_failure_win32.h"

namespace orv::platform {

ReadableFile ReadableFile::open(const std::filesystem::path& path) {
  // Shared for writing and deleting: the application may be writing its log while it is read.
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS,
                                nullptr));
  if (!file) throwLastError();
  return ReadableFile(std::move(file));
}

ReadableFile::ReadableFile(Native handle) : handle_(std::move(handle)) {
  const DWORD type = GetFileType(handle_.get());
  if (type == FILE_TYPE_PIPE) throw NotARegularFile("a pipe");
  if (type != FILE_TYPE_DISK) throw NotARegularFile("a device");
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(handle_.get(), &information)) throwLastError();
  if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) throw NotARegularFile("a folder");
  sizeWhenOpened_ = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
}

std::size_t ReadableFile::read(char* data, std::size_t size) {
  const DWORD chunk = size > 0x4000'0000 ? 0x4000'0000 : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(handle_.get(), data, chunk, &got, nullptr)) throwLastError();
  return got;
}

}  // namespace orv::platform
