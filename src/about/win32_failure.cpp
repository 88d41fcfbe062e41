#include "about/win32_failure.h"

#include <string>

#include "base/failure.h"
#include "platform/system_message_win32.h"

namespace orv::about {

void throwWin32Error(DWORD error) {
  throw Failure(static_cast<std::int32_t>(HRESULT_FROM_WIN32(error)), platform::systemMessage(error));
}

}  // namespace orv::about
