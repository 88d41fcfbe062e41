#pragma once
// A destination file written aside and put in place only when complete: a failure or an
// interruption at any point leaves an existing destination as it was and no other file.
//   Linux: an unnamed file (O_TMPFILE) in the destination's folder, linked into place at the
//   end; where the file system has no unnamed files, a named temporary that the object removes
//   and that the observer is told of, so a process ended by a signal can remove it too.
//   Windows: a named temporary marked for deletion while its handle is open, until committed.
// Temporary names are short and of fixed length, so any destination name the folder allows
// works. A replaced destination keeps its permissions; a new one is private to its owner, or,
// when asked, gets what the user's umask allows, as a shell's redirection would make it.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "platform/temporary_name_observer.h"

#ifdef _WIN32
#include "platform/unique_handle_win32.h"
#else
#include "platform/unique_fd.h"
#endif

namespace orv::platform {

// Who may read a new destination: its owner alone (files that may hold secrets), or whoever
// the umask lets (pages made to be shared). Windows gives a new file its folder's permissions.
enum class NewFileAccess { OwnerOnly, AsUmaskAllows };

class StagedFile {
 public:
  // Throws std::system_error when no temporary file can be made beside the destination.
  explicit StagedFile(const std::filesystem::path& destination, TemporaryNameObserver observer = {},
                      NewFileAccess access = NewFileAccess::OwnerOnly);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  void write(std::span<const std::uint8_t> bytes);

  // Flushes to disk and puts the file in place of the destination. An existing destination is
  // replaced only when mayReplace; otherwise it stays as it is, whenever it appeared, and the
  // result is false (the temporary goes with this object).
  [[nodiscard]] bool commit(bool mayReplace);

 private:
  // A fresh random name for a temporary file in the destination's folder.
  static std::string temporaryName();
  void tellObserver(const std::filesystem::path& name) const;

  std::filesystem::path destination_;
  std::filesystem::path folder_;
  std::filesystem::path temporary_;  // a named temporary of ours that exists, or empty
  TemporaryNameObserver observer_;
#ifdef _WIN32
  UniqueHandle file_;
  bool deletedOnClose_ = false;
  bool committed_ = false;
#else
  UniqueFd file_;
  unsigned newFileMode_ = 0600;
#endif
};

}  // namespace orv::platform
