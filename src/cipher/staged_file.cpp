// The platform-neutral part of StagedFile.
#include <cstdio>

#include "cipher/random_words.h"
#include "cipher/staged_file.h"

namespace orv::cipher {

std::string StagedFile::temporaryName() {
  // 16 characters whatever the destination's name: the folder's name limit always has room.
  const RandomWords words = systemRandomWords();
  const auto bits = static_cast<std::uint32_t>(words.first) ^ (static_cast<std::uint32_t>(words.second) << 1);
  char name[24];
  std::snprintf(name, sizeof name, ".orv%08x.tmp", static_cast<unsigned>(bits));
  return name;
}

void StagedFile::tellObserver(const std::filesystem::path& name) const {
  if (observer_) observer_(name);
}

}  // namespace orv::cipher
