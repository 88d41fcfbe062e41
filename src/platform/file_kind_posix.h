#pragma once
// What a file that is not a plain one is, in the words the tool tells it with.

#include <sys/stat.h>

namespace orv::platform {

inline const char* fileKindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

}  // namespace orv::platform
