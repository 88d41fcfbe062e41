#include "input/temporary_copy.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "output/tool_output.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvacct {
namespace {

[[noreturn]] void copyFailed(const std::string& what) {
  const int error = errno;
  throw ToolError(what + (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
}

// Windows: a uniquely named file in the user's temporary folder, deleted when closed (the
// system does it even when the process is killed). Elsewhere tmpfile(): an unnamed file.
orv::platform::UniqueFile openTemporary() {
#ifdef _WIN32
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"orv", 0, name) == 0) return {};
  return orv::platform::UniqueFile(_wfopen(name, L"w+bD"));
#else
  return orv::platform::UniqueFile(std::tmpfile());
#endif
}

}  // namespace

TemporaryCopy::TemporaryCopy(std::FILE* from, const std::string& what) {
  errno = 0;
  file_ = openTemporary();
  if (!file_) copyFailed("cannot make a temporary file for the copy of " + what);
  std::vector<char> piece(1 << 16);
  for (;;) {
    errno = 0;
    const std::size_t got = std::fread(piece.data(), 1, piece.size(), from);
    if (got > 0 && std::fwrite(piece.data(), 1, got, file_.get()) != got) copyFailed("cannot copy " + what + " aside");
    if (got < piece.size()) {
      if (std::ferror(from) != 0) copyFailed("cannot read " + what);
      break;
    }
  }
  if (std::fflush(file_.get()) != 0) copyFailed("cannot copy " + what + " aside");
}

}  // namespace orvacct
