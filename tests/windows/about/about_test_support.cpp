#include "about_test_support.h"

#include <aclapi.h>
#include <sddl.h>

namespace orv::testing {

ScopedMachineValue::ScopedMachineValue(std::string keyPath, std::string name)
    : keyPath_(std::move(keyPath)), name_(std::move(name)) {
  HKEY key = nullptr;
  keyExisted_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (!keyExisted_) return;
  DWORD size = 0;
  valueExisted_ = RegQueryValueExA(key, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
  if (valueExisted_) {
    bytes_.resize(size);
    RegQueryValueExA(key, name_.c_str(), nullptr, &type_, reinterpret_cast<BYTE*>(bytes_.data()), &size);
  }
  DWORD securitySize = 0;
  RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &securitySize);
  security_.resize(securitySize);
  if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, security_.data(), &securitySize) != ERROR_SUCCESS) {
    security_.clear();
  }
  RegCloseKey(key);
}

ScopedMachineValue::~ScopedMachineValue() {
  if (!keyExisted_) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath_.c_str());
    return;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
    if (!security_.empty()) RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security_.data());
    RegCloseKey(key);
  }
  if (valueExisted_) {
    set(type_, bytes_);
  } else {
    remove();
  }
}

void ScopedMachineValue::set(DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                           &key, nullptr));
  // Exactly these bytes: the registry adds a terminator to text followed by a NUL in memory.
  std::string copy = bytes + "x";
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(copy.data()),
                                          static_cast<DWORD>(bytes.size())));
  RegCloseKey(key);
}

void ScopedMachineValue::remove() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name_.c_str());
  RegCloseKey(key);
}

void ScopedMachineValue::readOnlyForEveryone() {
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  ASSERT_TRUE(
      ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, WRITE_DAC, &key));
  EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly));
  RegCloseKey(key);
  LocalFree(readOnly);
  // The key now refuses what it used to be opened with.
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, 0x2003F, &key));
}

namespace {
NoticeWatcher* activeWatcher = nullptr;
}

NoticeWatcher::NoticeWatcher() : timer_(SetTimer(nullptr, 0, 20, &NoticeWatcher::tick)) { activeWatcher = this; }

NoticeWatcher::~NoticeWatcher() {
  KillTimer(nullptr, timer_);
  activeWatcher = nullptr;
}

void CALLBACK NoticeWatcher::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (activeWatcher == nullptr) return;
  for (const HWND window : threadWindows()) {
    if (className(window) == L"#32770" && IsWindowVisible(window) && GetDlgItem(window, about::kIdAppVer) == nullptr) {
      activeWatcher->inspect(window);
    }
  }
}

void NoticeWatcher::inspect(HWND notice) {
  ++seen;
  caption = windowText(notice);
  text.clear();
  buttons.clear();
  icon = false;
  for (HWND child = GetWindow(notice, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring kind = className(child);
    if (kind == L"Button") buttons.push_back(windowText(child));
    if (kind != L"Static") continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      icon = icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
    } else {
      text += windowText(child);
    }
  }
  PostMessageW(notice, WM_COMMAND, IDOK, 0);
}

Capture captureScreen(const RECT& area) {
  Capture capture;
  capture.width = area.right - area.left;
  capture.height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* bgrx = static_cast<const std::uint8_t*>(bits);
  for (int i = 0; i < capture.width * capture.height; ++i) {
    capture.rgb.push_back(bgrx[i * 4 + 2]);
    capture.rgb.push_back(bgrx[i * 4 + 1]);
    capture.rgb.push_back(bgrx[i * 4]);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

}  // namespace orv::testing
