#pragma once
// A regular file opened for reading only. What is not one (a FIFO, a device, a socket, a folder)
// is refused, checked on the open handle itself so nothing can change between a check and the
// open, and opening never waits: a FIFO's writer or a device's data never arrives.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include "platform/unique_handle_win32.h"
#else
#include "platform/unique_fd.h"
#endif

namespace orv::platform {

// Something under a file's name that is not a plain file; what() says what it is ("a FIFO").
class NotARegularFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ReadableFile {
 public:
#ifdef _WIN32
  using Native = UniqueHandle;
#else
  using Native = UniqueFd;
#endif

  // A path given by a user: a link there is followed. Throws std::system_error when it cannot be
  // opened, NotARegularFile when it is something else.
  static ReadableFile open(const std::filesystem::path& path);

  // Takes an open handle and checks that it is a regular file (NotARegularFile when not).
  explicit ReadableFile(Native handle);

  // Up to size bytes; 0 at the end. Throws std::system_error.
  std::size_t read(char* data, std::size_t size);

  // Its size when it was opened (a log may grow while it is read).
  std::uint64_t sizeWhenOpened() const { return sizeWhenOpened_; }

  const Native& native() const { return handle_; }

 private:
  Native handle_;
  std::uint64_t sizeWhenOpened_ = 0;
};

}  // namespace orv::platform
