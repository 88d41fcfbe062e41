#pragma once
// An owned POSIX file descriptor.
#include <unistd.h>

#include "platform/unique_resource.h"

namespace orv::platform {

inline bool closeFd(int fd) noexcept { return ::close(fd) == 0; }

using UniqueFd = UniqueResource<int, closeFd, -1>;

}  // namespace orv::platform
