#pragma once
// The client's message loop knows nothing of the About box, so the box brings its own dialog
// keys: a WH_GETMESSAGE hook on the box's thread hands keyboard messages for the box to
// IsDialogMessage (Enter, Esc, Tab, Alt+S), in whatever loop takes them from the queue, a
// script host's message box included.
#include <windows.h>

namespace orv::about {

class DialogKeys {
 public:
  DialogKeys();  // hooks the calling thread; throws Failure when it cannot
  ~DialogKeys();
  DialogKeys(const DialogKeys&) = delete;
  DialogKeys& operator=(const DialogKeys&) = delete;

 private:
  HHOOK hook_;
};

}  // namespace orv::about
