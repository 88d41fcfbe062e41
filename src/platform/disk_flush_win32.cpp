#include "platform/disk_flush_win32.h"

namespace orv::platform {

bool flushToDisk(HANDLE file) noexcept { return FlushFileBuffers(file) != FALSE; }

}  // namespace orv::platform
