// The folder operations, through std::filesystem on every platform.
#include <filesystem>
#include <system_error>

#include "base/failure.h"
#include "log/log_files.h"

namespace orv::log {

namespace fs = std::filesystem;

bool folderExists(const std::u16string& folder) {
  std::error_code ec;
  return fs::is_directory(fs::path(folder), ec);
}

void createFolder(const std::u16string& folder) {
  std::error_code ec;
  if (!fs::create_directory(fs::path(folder), ec) && !fs::is_directory(fs::path(folder))) {
    throwPathNotFound();
  }
}

std::vector<std::u16string> fileNamesIn(const std::u16string& folder) {
  std::vector<std::u16string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(folder))) {
    std::error_code ec;
    if (entry.is_regular_file(ec)) names.push_back(entry.path().filename().u16string());
  }
  return names;
}

bool isReadOnly(const std::u16string& file) {
  std::error_code ec;
  const fs::perms perms = fs::status(fs::path(file), ec).permissions();
  if (ec) return true;  // unknown: leave it alone
  constexpr fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (perms & anyWrite) == fs::perms::none;
}

bool deleteFile(const std::u16string& file) {
  std::error_code ec;
  return fs::remove(fs::path(file), ec);
}

}  // namespace orv::log
