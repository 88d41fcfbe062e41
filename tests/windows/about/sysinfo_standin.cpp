// Stands in for the System Information tool: records, in started.txt beside itself, how it was
// asked to show its window (-1 when it was not told) and its command line, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;

  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  // Written under another name first, so the test never reads half a file.
  const std::wstring partial = folder + L"started.part";
  FILE* out = _wfopen(partial.c_str(), L"wb");
  if (out == nullptr) return 1;
  std::fprintf(out, "show=%d\ncommand=%s\n", show, GetCommandLineA());
  std::fclose(out);
  return MoveFileExW(partial.c_str(), (folder + L"started.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
