#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/failure.h"
#include "log/log_files.h"
#include "platform/unique_fd.h"
#include "text/utf.h"

namespace orv::log {

bool appendWhole(const std::u16string& file, std::string_view bytes) {
  const std::string name = text::toUtf8(file);
  platform::UniqueFd fd(::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (!fd) return false;
  // O_APPEND makes each write land whole at the end of the file, whoever else appends.
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throwDiskFull();
    done += static_cast<std::size_t>(n);
  }
  if (!fd.close()) throwPathFileAccessError();
  return true;
}

}  // namespace orv::log
