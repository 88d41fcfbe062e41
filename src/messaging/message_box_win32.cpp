// MessageBoxW, modal on the caller's thread, but only where someone can answer it: in a
// service's window station the box would be invisible and the caller would wait for ever.
// Whether a shell is running says nothing here (under a null display driver there is none,
// yet the box is shown and answered); the window station's visibility flag does.
#include <windows.h>

#include "messaging/message_box.h"

namespace orv::messaging {
namespace {

bool windowStationIsInteractive() {
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  const HWINSTA station = GetProcessWindowStation();
  if (station == nullptr || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, &needed)) return false;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

std::wstring wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

ShowMessageBox platformMessageBox() {
  return [](const MessageBoxRequest& request) {
    if (!windowStationIsInteractive()) {
      throwMessageNotShown(request, kNotInteractive, u"the window station is not interactive");
    }
    if (MessageBoxW(GetActiveWindow(), wide(request.text).c_str(), wide(request.title).c_str(), request.style) == 0) {
      throwMessageNotShown(request, static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())),
                                      u"MessageBoxW failed");
    }
  };
}

}  // namespace orv::messaging
