#pragma once
// A destination file written under a temporary name in its own folder and renamed over the
// destination only when complete: a failure at any point leaves an existing destination as it
// was, and the temporary file goes with the object.
#include <cstdint>
#include <filesystem>
#include <span>

#ifdef _WIN32
#include "platform/unique_handle_win32.h"
#else
#include "platform/unique_fd.h"
#endif

namespace orv::cipher {

class StagedFile {
 public:
  // Throws std::system_error when the temporary file cannot be created.
  explicit StagedFile(const std::filesystem::path& destination);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  void write(std::span<const std::uint8_t> bytes);

  // Flushes to disk, closes and renames over the destination (replacing it).
  void commit();

 private:
  std::filesystem::path destination_;
  std::filesystem::path temporary_;
#ifdef _WIN32
  platform::UniqueHandle file_;
#else
  platform::UniqueFd file_;
#endif
  bool committed_ = false;
};

}  // namespace orv::cipher
