#include "temporary_copy.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tool_output.h"

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
std::FILE* openTemporary() {
#ifdef _WIN32
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"orv", 0, name) == 0) return nullptr;
  return _wfopen(name, L"w+bD");
#else
  return std::tmpfile();
#endif
}

}  // namespace

TemporaryCopy::TemporaryCopy(std::FILE* from) {
  errno = 0;
  file_ = openTemporary();
  if (file_ == nullptr) copyFailed("cannot make a temporary file for the copy of the input");
  std::vector<char> piece(1 << 16);
  for (;;) {
    errno = 0;
    const std::size_t got = std::fread(piece.data(), 1, piece.size(), from);
    if (got > 0 && std::fwrite(piece.data(), 1, got, file_) != got) copyFailed("cannot copy the input aside");
    if (got < piece.size()) {
      if (std::ferror(from) != 0) copyFailed("cannot read the input");
      break;
    }
  }
  if (std::fflush(file_) != 0) copyFailed("cannot copy the input aside");
}

TemporaryCopy::~TemporaryCopy() {
  if (file_ != nullptr) std::fclose(file_);
}

}  // namespace orvacct
