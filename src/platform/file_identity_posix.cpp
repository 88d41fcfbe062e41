#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_identity.h"
#include "platform/system_failure.h"

namespace orv::platform {

FileIdentity identityOf(const ReadableFile& file) {
  struct stat status {};
  if (::fstat(file.native().get(), &status) != 0) throwErrno();
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::uint64_t>(status.st_size),
          static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

std::size_t readAt(ReadableFile& file, std::uint64_t offset, char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(file.native().get(), data + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throwErrno();
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void seekTo(ReadableFile& file, std::uint64_t offset) {
  if (::lseek(file.native().get(), static_cast<off_t>(offset), SEEK_SET) < 0) throwErrno();
}

}  // namespace orv::platform
