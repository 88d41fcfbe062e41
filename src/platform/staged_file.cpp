// The platform-neutral part of StagedFile.
#include <cstdio>

#include "platform/random_bytes.h"
#include "platform/staged_file.h"

namespace orv::platform {

std::string StagedFile::temporaryName() {
  // 16 characters whatever the destination's name: the folder's name limit always has room.
  std::uint32_t bits = 0;
  systemRandomBytes({reinterpret_cast<std::uint8_t*>(&bits), sizeof bits});
  char name[24];
  std::snprintf(name, sizeof name, ".orv%08x.tmp", static_cast<unsigned>(bits));
  return name;
}

void StagedFile::tellObserver(const std::filesystem::path& name) const {
  if (observer_) observer_(name);
}

}  // namespace orv::platform
