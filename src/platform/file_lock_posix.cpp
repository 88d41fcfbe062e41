#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "platform/file_lock.h"
#include "platform/system_failure.h"

namespace orv::platform {

std::optional<FileLock> FileLock::tryTake(const std::filesystem::path& path) {
  UniqueFd file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600));
  if (!file) throwErrno();
  while (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return std::nullopt;
    if (errno != EINTR) throwErrno();
  }
  return FileLock(std::move(file));
}

}  // namespace orv::platform
