#include "about/sys_info_win32.h"

#include <string>
#include <vector>

#include "about/win32_failure.h"
#include "platform/unique_handle_win32.h"

namespace orv::about {

Win32SysInfoPlatform::Win32SysInfoPlatform(HWND owner) : owner_(owner), registry_(registry::platformRegistry()) {}

std::string Win32SysInfoPlatform::expandEnvironment(const std::string& text) {
  std::vector<char> expanded(text.size() + 1);
  for (;;) {
    const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (needed == 0) throwLastWin32Error();
    if (needed <= expanded.size()) return std::string(expanded.data());
    expanded.resize(needed);
  }
}

bool Win32SysInfoPlatform::isOrdinaryFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

void Win32SysInfoPlatform::startProgram(const std::string& path) {
  // The path names the program. Taken as a command line instead, a path with spaces is first
  // tried as a shorter program with arguments (C:\Program.exe for C:\Program Files\...), and
  // whatever sits there runs. The command line repeats the name in quotes, as a shell gives it.
  std::string line = '"' + path + '"';
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    throwLastWin32Error();
  }
  // The tool runs on its own: its handles are not kept.
  const platform::UniqueHandle thread(process.hThread), started(process.hProcess);
  // It may take the foreground from this process.
  AllowSetForegroundWindow(process.dwProcessId);
}

void Win32SysInfoPlatform::showNotice(std::u16string_view text, std::u16string_view caption) {
  const std::wstring wideText(text.begin(), text.end());
  const std::wstring wideCaption(caption.begin(), caption.end());
  MessageBoxW(owner_, wideText.c_str(), wideCaption.c_str(), MB_OK);
}

}  // namespace orv::about
