// The echo is turned off through the console's input mode, on standard input or on CONIN$. A
// console control event that ends the tool while it is off (Ctrl+C, closing the window) gives
// the console its mode back first.
#include <windows.h>

#include <cstdio>

#include "base/secure_wipe.h"
#include "input/hidden_prompt.h"
#include "platform/unique_handle_win32.h"
#include "output/tool_output.h"

namespace orvacct {
namespace {

// Process-wide by nature, as the console and its control handlers are.
HANDLE echoConsole = nullptr;
DWORD echoMode = 0;

BOOL WINAPI restoreEcho(DWORD) {
  SetConsoleMode(echoConsole, echoMode);
  return FALSE;  // and the default handling ends the process
}

class EchoOff {
 public:
  EchoOff(HANDLE console, DWORD mode) {
    echoConsole = console;
    echoMode = mode;
    SetConsoleCtrlHandler(restoreEcho, TRUE);
    SetConsoleMode(console, (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~DWORD{ENABLE_ECHO_INPUT});
  }
  ~EchoOff() {
    SetConsoleMode(echoConsole, echoMode);
    SetConsoleCtrlHandler(restoreEcho, FALSE);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;
};

}  // namespace

bool standardInputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

orv::SecretText readHidden(const std::string& prompt, const std::string& what) {
  orv::platform::UniqueHandle ownConsole;
  HANDLE console = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(console, &mode)) {
    ownConsole = orv::platform::UniqueHandle(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                         0, nullptr));
    console = ownConsole.get();
    if (!ownConsole || !GetConsoleMode(console, &mode)) {
      throw ToolError(what + " cannot be typed: no console to type it at");
    }
  }
  orv::SecretText typed;
  {
    const EchoOff quiet(console, mode);
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    wchar_t piece[128];
    for (bool ended = false; !ended;) {
      DWORD got = 0;
      if (!ReadConsoleW(console, piece, static_cast<DWORD>(std::size(piece)), &got, nullptr)) {
        throw ToolError("cannot read " + what + " from the console");
      }
      if (got == 0) {
        if (typed.empty()) throw ToolError(nothingTyped(what));
        break;
      }
      for (DWORD i = 0; i < got && !ended; ++i) {
        if (piece[i] == L'\n') {
          ended = true;
        } else if (piece[i] != L'\r') {
          typed.push_back(static_cast<char16_t>(piece[i]));
        }
      }
    }
    orv::secureWipe(piece, sizeof piece);
  }
  std::fputc('\n', stderr);
  return typed;
}

}  // namespace orvacct
