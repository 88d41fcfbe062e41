#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "platform/staged_file.h"
#include "platform/system_failure.h"

namespace orv::platform {
namespace {

constexpr mode_t kPrivate = 0600;
constexpr int kNameAttempts = 16;

// Links an unnamed file to a name: through its /proc entry, which needs no privilege, or, where
// /proc is missing, AT_EMPTY_PATH, which some systems allow only to privileged processes.
bool linkUnnamed(int fd, const std::filesystem::path& name) {
  const std::string procEntry = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, procEntry.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno != ENOENT) return false;
  return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Asked for a shared file, the system takes the umask's bits off this.
constexpr mode_t kShared = 0666;

// The destination's permissions when it exists, else those of a new file.
mode_t modeFor(const std::filesystem::path& destination, mode_t newFileMode) {
  struct stat existing {};
  if (::stat(destination.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) return existing.st_mode & 07777;
  return newFileMode;
}

// Renames a named temporary to the destination; false when the destination exists and may not
// be replaced.
bool moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& destination, bool mayReplace) {
  if (mayReplace) {
    if (::rename(temporary.c_str(), destination.c_str()) != 0) throwErrno("cannot replace the destination");
    return true;
  }
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) throwErrno("cannot put the destination in place");
  // A file system that cannot rename without replacing (NFS): a second name, which is never
  // made over an existing file, then the first goes.
  if (::link(temporary.c_str(), destination.c_str()) != 0) {
    if (errno == EEXIST) return false;
    throwErrno("cannot put the destination in place");
  }
  ::unlink(temporary.c_str());
  return true;
}

}  // namespace

StagedFile::StagedFile(const std::filesystem::path& destination, TemporaryNameObserver observer,
                       NewFileAccess access)
    : destination_(destination),
      // Same folder as the destination, so the file is put in place without crossing file systems.
      folder_(destination.has_parent_path() ? destination.parent_path() : "."),
      observer_(std::move(observer)) {
  const mode_t mode = access == NewFileAccess::OwnerOnly ? kPrivate : kShared;
  // The mode the system gave the file (the umask taken off, without touching the process's own)
  // is the one a new destination gets.
  const auto keepMode = [this, access] {
    struct stat made {};
    if (access == NewFileAccess::AsUmaskAllows && ::fstat(file_.get(), &made) == 0) newFileMode_ = made.st_mode & 0777;
  };
  // An unnamed file is linked through /proc at the end: without /proc, do without it.
  if (::access("/proc/self/fd", X_OK) == 0) {
    file_ = UniqueFd(::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    if (file_) {
      keepMode();
      return;
    }
  }
  // No unnamed files here (EOPNOTSUPP from the file system, EISDIR or EINVAL from a kernel
  // before 3.11): a named temporary, created exclusively so no other file is ever taken over.
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::filesystem::path candidate = folder_ / temporaryName();
    UniqueFd file(::open(candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
    if (file) {
      file_ = std::move(file);
      keepMode();
      temporary_ = candidate;
      tellObserver(temporary_);
      return;
    }
    if (errno != EEXIST) break;
  }
  throwErrno("cannot create a temporary file beside the destination");
}

StagedFile::~StagedFile() {
  file_.close();
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    tellObserver({});
  }
}

void StagedFile::write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(file_.get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throwErrno("cannot write the destination");
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
}

bool StagedFile::commit(bool mayReplace) {
  if (::fchmod(file_.get(), modeFor(destination_, newFileMode_)) != 0) throwErrno("cannot set the destination's permissions");
  if (::fsync(file_.get()) != 0) throwErrno("cannot write the destination");
  if (temporary_.empty() && !linkUnnamed(file_.get(), destination_)) {
    // A new destination takes the file's first name directly; linking never replaces. An
    // existing one is replaced through a name of our own, since only rename replaces atomically.
    if (errno != EEXIST) throwErrno("cannot put the destination in place");
    if (!mayReplace) return false;
    for (int attempt = 0; temporary_.empty() && attempt < kNameAttempts; ++attempt) {
      const std::filesystem::path candidate = folder_ / temporaryName();
      if (linkUnnamed(file_.get(), candidate)) {
        temporary_ = candidate;
        tellObserver(temporary_);
      } else if (errno != EEXIST) {
        throwErrno("cannot put the destination in place");
      }
    }
    if (temporary_.empty()) throwErrno("cannot put the destination in place");
  }
  if (!file_.close()) throwErrno("cannot write the destination");
  if (temporary_.empty()) return true;
  if (!moveIntoPlace(temporary_, destination_, mayReplace)) return false;
  temporary_.clear();
  tellObserver({});
  return true;
}

}  // namespace orv::platform
