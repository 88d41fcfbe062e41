#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "log/append_lock_wait.h"
#include "log/log_files.h"
#include "platform/unique_fd.h"
#include "text/utf.h"

namespace orv::log {
namespace {

static_assert(sizeof(off_t) >= 8, "the append lock lies beyond 32-bit offsets");

// Takes the append lock of the open file, waiting a bounded time; closing the descriptor
// releases it. An open file description lock, not a classic POSIX one: threads of one process
// exclude each other too, and no other descriptor of the file closed elsewhere in the process
// drops it. It still meets the POSIX locks that Wine's server and Samba take for Windows
// writers. A file system without locks gets the append unlocked: O_APPEND alone keeps records
// whole on local disks.
void takeAppendLockOf(int fd) {
  struct flock region {};
  region.l_type = F_WRLCK;
  region.l_whence = SEEK_SET;
  region.l_start = static_cast<off_t>(kAppendLockOffset);
  region.l_len = 1;
  takeAppendLock([&] {
    if (::fcntl(fd, F_OFD_SETLK, &region) == 0) return LockAttempt::taken;
    const bool held = errno == EAGAIN || errno == EACCES || errno == EINTR;
    return held ? LockAttempt::heldElsewhere : LockAttempt::impossible;
  });
}

}  // namespace

AppendOutcome appendWhole(const std::u16string& file, std::string_view bytes) {
  const std::string name = text::toUtf8(file);
  platform::UniqueFd fd(::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (!fd) return AppendOutcome::NotOpened;
  takeAppendLockOf(fd.get());
  // O_APPEND puts every write at the end, and under the lock no other writer appends, so the
  // rest of a short write follows it directly.
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return AppendOutcome::NotWritten;
    done += static_cast<std::size_t>(n);
  }
  return fd.close() ? AppendOutcome::Appended : AppendOutcome::NotClosed;
}

}  // namespace orv::log
