#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "cipher/staged_file.h"

namespace orv::cipher {
namespace {

[[noreturn]] void throwErrno(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

StagedFile::StagedFile(const std::filesystem::path& destination) : destination_(destination) {
  // Same folder as the destination, so the final rename never crosses file systems.
  const std::filesystem::path folder = destination.has_parent_path() ? destination.parent_path() : ".";
  std::string name = ".";
  name += destination.filename().string();
  name += ".XXXXXX";
  std::string pattern = (folder / name).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throwErrno("cannot create a temporary file beside the destination");
  file_ = platform::UniqueFd(fd);
  temporary_ = pattern;
}

StagedFile::~StagedFile() {
  file_.close();
  if (!committed_) ::unlink(temporary_.c_str());
}

void StagedFile::write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(file_.get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throwErrno("cannot write the destination");
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
}

void StagedFile::commit() {
  if (::fsync(file_.get()) != 0) throwErrno("cannot write the destination");
  if (!file_.close()) throwErrno("cannot write the destination");
  if (::rename(temporary_.c_str(), destination_.c_str()) != 0) throwErrno("cannot replace the destination");
  committed_ = true;
}

}  // namespace orv::cipher
