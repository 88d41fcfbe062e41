#pragma once
// A lock held on a file while the object lives, for one run at a time on something beside it.
// The system lets go of it when the process ends however it ends, so a run that was killed
// leaves nothing for the next to clear away; the file itself stays.
#include <filesystem>
#include <optional>

#ifdef _WIN32
#include "platform/unique_handle_win32.h"
#else
#include "platform/unique_fd.h"
#endif

namespace orv::platform {

class FileLock {
 public:
  // The lock, the file made when missing; nullopt when another holds it. Throws
  // std::system_error when the file cannot be opened or made.
  static std::optional<FileLock> tryTake(const std::filesystem::path& path);

 private:
#ifdef _WIN32
  explicit FileLock(UniqueHandle file) : file_(std::move(file)) {}
  UniqueHandle file_;
#else
  explicit FileLock(UniqueFd file) : file_(std::move(file)) {}
  UniqueFd file_;
#endif
};

}  // namespace orv::platform
