#include "about/dialog_keys_win32.h"

#include "about/about_form_win32.h"
#include "about/win32_failure.h"

namespace orv::about {
namespace {

LRESULT CALLBACK routeDialogKeys(int code, WPARAM removal, LPARAM message) {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    auto* const taken = reinterpret_cast<MSG*>(message);
    if (taken->message >= WM_KEYFIRST && taken->message <= WM_KEYLAST) {
      const HWND box = AboutForm::windowOfThisThread();
      if (box != nullptr && (taken->hwnd == box || IsChild(box, taken->hwnd)) && IsDialogMessageW(box, taken)) {
        taken->message = WM_NULL;  // handled: the client's loop dispatches nothing
      }
    }
  }
  return CallNextHookEx(nullptr, code, removal, message);
}

}  // namespace

DialogKeys::DialogKeys() : hook_(SetWindowsHookExW(WH_GETMESSAGE, routeDialogKeys, nullptr, GetCurrentThreadId())) {
  if (hook_ == nullptr) throwLastWin32Error();
}

DialogKeys::~DialogKeys() { UnhookWindowsHookEx(hook_); }

}  // namespace orv::about
