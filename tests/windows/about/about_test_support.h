#pragma once
// What the About box suites share: a client thread that pumps its own messages, the box found
// among the thread's windows, HKLM values set for one test and put back, the notice closed
// from a thread timer, and screen captures.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "about/form_layout.h"
#include "com_test_support.h"

namespace orv::testing {

// How long a wait for the display, a key or a started program may take. Each wait ends as soon as
// its condition holds, so only a machine busy enough to need it waits that long.
constexpr DWORD kPatienceMs = 60000;

// Pumps this thread's messages, as a client's loop would, until done() holds or the time is up.
template <class Predicate>
bool pumpUntil(Predicate done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)), QS_ALLINPUT);
  }
}

inline std::wstring windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

inline std::wstring className(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

inline BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

inline std::vector<HWND> threadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The About boxes of this thread. FindWindow would give only the newest of several.
inline std::vector<HWND> aboutBoxes() {
  std::vector<HWND> boxes;
  for (const HWND window : threadWindows()) {
    if (className(window) == L"#32770" && GetDlgItem(window, about::kIdAppVer) != nullptr) boxes.push_back(window);
  }
  return boxes;
}

inline HWND theBox() {
  const std::vector<HWND> boxes = aboutBoxes();
  return boxes.size() == 1 ? boxes.front() : nullptr;
}

// A control's rectangle in its dialog's client coordinates.
inline RECT controlRect(HWND box, int id) {
  RECT area{};
  GetWindowRect(GetDlgItem(box, id), &area);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

// One HKLM value for the length of a test; the value (or its absence) and the key's security
// are put back at the end.
class ScopedMachineValue {
 public:
  ScopedMachineValue(std::string keyPath, std::string name);
  ~ScopedMachineValue();
  ScopedMachineValue(const ScopedMachineValue&) = delete;
  ScopedMachineValue& operator=(const ScopedMachineValue&) = delete;

  void set(DWORD type, const std::string& bytes);
  void remove();
  void readOnlyForEveryone();  // a DACL that grants KEY_READ and nothing else

 private:
  std::string keyPath_;
  std::string name_;
  bool keyExisted_ = false;
  bool valueExisted_ = false;
  DWORD type_ = 0;
  std::string bytes_;
  std::vector<BYTE> security_;
};

// Closes the "unavailable" notice from a thread timer while a click waits in its modal loop,
// and keeps what it showed.
class NoticeWatcher {
 public:
  NoticeWatcher();
  ~NoticeWatcher();
  NoticeWatcher(const NoticeWatcher&) = delete;
  NoticeWatcher& operator=(const NoticeWatcher&) = delete;

  int seen = 0;
  std::wstring caption;
  std::wstring text;
  std::vector<std::wstring> buttons;  // visible buttons' texts
  bool icon = false;

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  void inspect(HWND notice);
  UINT_PTR timer_;
};

// Screen pixels as the user sees them, top row first.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  COLORREF at(int x, int y) const {
    const std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    return RGB(p[0], p[1], p[2]);
  }
};
Capture captureScreen(const RECT& area);

inline HRESULT callShowAbout(_clsOrvAcctMan* object, const wchar_t* name, const wchar_t* version) {
  BSTR nameText = SysAllocString(name);
  BSTR versionText = SysAllocString(version);
  const HRESULT hr = object->ShowAbout(&nameText, &versionText);
  SysFreeString(nameText);
  SysFreeString(versionText);
  return hr;
}

// A client thread: its own apartment and message pumping, one created component. Whatever box
// a test leaves open is closed before the apartment ends.
class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object_)));
  }
  void TearDown() override {
    for (const HWND box : aboutBoxes()) DestroyWindow(box);
    object_.Reset();
    CoUninitialize();
  }

  void showAbout(const wchar_t* name, const wchar_t* version) {
    EXPECT_EQ(S_OK, callShowAbout(object_.Get(), name, version));
  }

  // Opens the box and returns it; null when there is not exactly one.
  HWND openBox(const wchar_t* name = L"Client", const wchar_t* version = L"1.0") {
    showAbout(name, version);
    return theBox();
  }

  ComPtr<_clsOrvAcctMan> object_;
};

}  // namespace orv::testing
