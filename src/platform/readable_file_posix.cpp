#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "platform/file_kind_posix.h"
#include "platform/readable_file.h"
#include "platform/system_failure.h"

namespace orv::platform {
ReadableFile ReadableFile::open(const std::filesystem::path& path) {
  // Non-blocking, so a FIFO opens at once instead of waiting for a writer; no controlling
  // terminal taken from a terminal device.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd) throwErrno();
  return ReadableFile(std::move(fd));
}

ReadableFile::ReadableFile(Native handle) : handle_(std::move(handle)) {
  struct stat status {};
  if (::fstat(handle_.get(), &status) != 0) throwErrno();
  if (!S_ISREG(status.st_mode)) throw NotARegularFile(fileKindOf(status.st_mode));
  sizeWhenOpened_ = static_cast<std::uint64_t>(status.st_size);
  // A regular file never blocks; the flag only mattered for the open.
  const int flags = ::fcntl(handle_.get(), F_GETFL);
  if (flags >= 0) ::fcntl(handle_.get(), F_SETFL, flags & ~O_NONBLOCK);
}

std::size_t ReadableFile::read(char* data, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(handle_.get(), data, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throwErrno();
  }
}

}  // namespace orv::platform
