#include <windows.h>

#include <cstddef>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/disk_flush_win32.h"
#include "platform/staged_file.h"
#include "platform/system_failure_win32.h"

namespace orv::platform {
namespace {

constexpr int kNameAttempts = 16;

// While set, the file goes when its last handle closes, however the process ends; unlike
// FILE_FLAG_DELETE_ON_CLOSE it can be cleared again.
bool setDeleteOnClose(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// The path without MAX_PATH's limit: any name the file system allows fits.
std::wstring extendedLengthPath(const std::filesystem::path& path) {
  std::wstring full = std::filesystem::absolute(path).wstring();
  if (full.starts_with(L"\\\\?\\")) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// Renames the open file to the destination through the handle, over an existing one only when
// allowed: the file system checks at the rename, so a destination that appeared late is kept.
bool renameTo(HANDLE file, const std::filesystem::path& destination, bool mayReplace) {
  const std::wstring target = extendedLengthPath(destination);
  std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = mayReplace ? TRUE : FALSE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
  target.copy(rename->FileName, target.size());
  return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

}  // namespace

StagedFile::StagedFile(const std::filesystem::path& destination, TemporaryNameObserver observer, NewFileAccess)
    : destination_(destination),
      // Same folder as the destination, so the rename replaces it without copying.
      folder_(destination.has_parent_path() ? destination.parent_path() : L"."),
      observer_(std::move(observer)) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::filesystem::path candidate = extendedLengthPath(folder_ / temporaryName());
    UniqueHandle file(CreateFileW(candidate.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      file_ = std::move(file);
      temporary_ = candidate;
      deletedOnClose_ = setDeleteOnClose(file_.get(), true);
      // Without delete-on-close (a file system that refuses it) the file is named like any
      // other, and only this object or the observer's owner can remove it.
      if (!deletedOnClose_) tellObserver(temporary_);
      return;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  throwLastError("cannot create a temporary file beside the destination");
}

StagedFile::~StagedFile() {
  file_.close();
  if (!committed_ && !deletedOnClose_ && !temporary_.empty()) {
    DeleteFileW(temporary_.c_str());
    tellObserver({});
  }
}

void StagedFile::write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : (1u << 30));
    DWORD written = 0;
    if (!WriteFile(file_.get(), bytes.data(), piece, &written, nullptr)) throwLastError("cannot write the destination");
    bytes = bytes.subspan(written);
  }
}

bool StagedFile::commit(bool mayReplace) {
  if (!flushToDisk(file_.get())) throwLastError("cannot write the destination");
  // A file marked for deletion cannot be renamed: keep it first, then rename at once.
  if (deletedOnClose_) {
    if (!setDeleteOnClose(file_.get(), false)) throwLastError("cannot keep the destination");
    deletedOnClose_ = false;
  }
  if (!renameTo(file_.get(), destination_, mayReplace)) {
    const DWORD error = GetLastError();
    // Refused: the destructor deletes the temporary, which is no longer marked.
    if (!mayReplace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) return false;
    throwLastError("cannot replace the destination");
  }
  committed_ = true;
  if (!file_.close()) throwLastError("cannot write the destination");
  return true;
}

}  // namespace orv::platform
