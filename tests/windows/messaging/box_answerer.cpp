// For script clients, which cannot hook their own thread: waits for the session warning in
// another process, writes "title|text|buttons" to a file, and presses OK.
// usage: box_answerer OUTPUT_FILE SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring textOf(HWND window) {
  wchar_t text[512] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

BOOL CALLBACK readControl(HWND control, LPARAM target) {
  auto& parts = *reinterpret_cast<std::wstring(*)[2]>(target);
  wchar_t type[32] = {};
  GetClassNameW(control, type, 32);
  if (GetDlgCtrlID(control) == 0xFFFF) parts[0] = textOf(control);
  if (lstrcmpiW(type, L"Button") == 0) parts[1] += (parts[1].empty() ? L"" : L",") + textOf(control);
  return TRUE;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  if (count != 3) return 2;
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtoi(arguments[2])) * 1000;
  while (GetTickCount() < deadline) {
    const HWND box = FindWindowW(L"#32770", L"OUTLOOK SESSION FAILED");
    if (box != nullptr) {
      std::wstring parts[2];
      EnumChildWindows(box, &readControl, reinterpret_cast<LPARAM>(&parts));
      const std::wstring line = textOf(box) + L"|" + parts[0] + L"|" + parts[1] + L"\r\n";
      FILE* out = _wfopen(arguments[1], L"wb");
      if (out == nullptr) return 1;
      std::fputs(std::string(line.begin(), line.end()).c_str(), out);
      std::fclose(out);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(50);
  }
  return 1;
}
