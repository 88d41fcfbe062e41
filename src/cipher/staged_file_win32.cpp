#include <windows.h>

#include <string>
#include <system_error>
#include <utility>

#include "cipher/random_words.h"
#include "cipher/staged_file.h"

namespace orv::cipher {
namespace {

[[noreturn]] void throwLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

}  // namespace

StagedFile::StagedFile(const std::filesystem::path& destination) : destination_(destination) {
  // Same folder as the destination, so MoveFileEx replaces it without copying.
  const std::filesystem::path folder = destination.has_parent_path() ? destination.parent_path() : L".";
  for (int attempt = 0; attempt < 16; ++attempt) {
    const RandomWords words = systemRandomWords();
    const std::wstring name = L"~" + destination.filename().wstring() + L"." + std::to_wstring(words.first) + L".tmp";
    const std::filesystem::path candidate = folder / name;
    platform::UniqueHandle file(
        CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      file_ = std::move(file);
      temporary_ = candidate;
      return;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  throwLastError("cannot create a temporary file beside the destination");
}

StagedFile::~StagedFile() {
  file_.close();
  if (!committed_ && !temporary_.empty()) DeleteFileW(temporary_.c_str());
}

void StagedFile::write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : (1u << 30));
    DWORD written = 0;
    if (!WriteFile(file_.get(), bytes.data(), piece, &written, nullptr)) throwLastError("cannot write the destination");
    bytes = bytes.subspan(written);
  }
}

void StagedFile::commit() {
  if (!FlushFileBuffers(file_.get())) throwLastError("cannot write the destination");
  file_.close();
  if (!MoveFileExW(temporary_.c_str(), destination_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throwLastError("cannot replace the destination");
  }
  committed_ = true;
}

}  // namespace orv::cipher
