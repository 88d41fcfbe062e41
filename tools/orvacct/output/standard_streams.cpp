#include "output/standard_streams.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace orvacct {

void holdClosedStandardStreams() noexcept {
#ifndef _WIN32
  const struct {
    int descriptor;
    int oppositeWay;
  } streams[] = {{STDIN_FILENO, O_WRONLY}, {STDOUT_FILENO, O_RDONLY}, {STDERR_FILENO, O_RDONLY}};
  for (const auto& stream : streams) {
    if (fcntl(stream.descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number, which is this one: the ones below are open or already held.
    const int held = open("/dev/null", stream.oppositeWay);
    if (held >= 0 && held != stream.descriptor) {
      dup2(held, stream.descriptor);
      close(held);
    }
  }
#endif
  // Windows: the C runtime keeps descriptors 0 to 2 for the standard streams even when the
  // process has none, so a file never takes their numbers.
}

void binaryMode(std::FILE* stream) noexcept {
#ifdef _WIN32
  std::fflush(stream);  // what was written in text mode goes out as text
  _setmode(_fileno(stream), _O_BINARY);
#else
  static_cast<void>(stream);
#endif
}

}  // namespace orvacct
