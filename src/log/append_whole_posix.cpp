#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "component/failure.h"
#include "log/log_files.h"
#include "text/utf.h"

namespace orv::log {

bool appendWhole(const std::u16string& file, std::string_view bytes) {
  const std::string name = text::toUtf8(file);
  const int fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // O_APPEND makes each write land whole at the end of the file, whoever else appends.
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      throw Failure(61, u"Disk full");
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) throw Failure(75, u"Path/File access error");
  return true;
}

}  // namespace orv::log
