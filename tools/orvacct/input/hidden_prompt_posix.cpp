// The echo is turned off through termios, on standard input or on /dev/tty. A signal that ends
// the tool while it is off (Ctrl+C) turns it back on first, or the shell would be left blind.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "base/secure_wipe.h"
#include "input/hidden_prompt.h"
#include "platform/unique_fd.h"
#include "text/strict_text.h"
#include "text/utf.h"
#include "output/tool_output.h"

namespace orvacct {
namespace {

// Process-wide by nature, as a terminal's settings and signal dispositions are.
int echoTerminal = -1;
struct termios echoSettings {};
std::atomic<bool> echoIsOff{false};
static_assert(std::atomic<bool>::is_always_lock_free, "read from a signal handler");

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restoreEchoAndDie(int signal) {
  if (echoIsOff.load()) ::tcsetattr(echoTerminal, TCSANOW, &echoSettings);
  // Blocked while this handler runs, the signal comes again on return with its default action,
  // so the parent sees the process ended by it.
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  ::sigaction(signal, &byDefault, nullptr);
  ::raise(signal);
}

class EchoOff {
 public:
  explicit EchoOff(int terminal, const std::string& what) {
    if (::tcgetattr(terminal, &echoSettings) != 0) {
      throw ToolError(what + " cannot be typed: the terminal's settings cannot be read: " + std::strerror(errno));
    }
    echoTerminal = terminal;
    struct sigaction action {};
    action.sa_handler = restoreEchoAndDie;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &previous_[i]);
    struct termios quiet = echoSettings;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ICANON;
    echoIsOff.store(true);
    // What was typed ahead, with the echo on, is not taken for the secret.
    ::tcsetattr(terminal, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    ::tcsetattr(echoTerminal, TCSAFLUSH, &echoSettings);
    echoIsOff.store(false);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &previous_[i], nullptr);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  struct sigaction previous_[std::size(kSignals)] {};
};

// Byte by byte, so the line lies in no buffer but the secret's.
orv::SecretBytes readLine(int terminal, const std::string& what) {
  orv::SecretBytes line;
  char c = 0;
  for (;;) {
    const ssize_t got = ::read(terminal, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ToolError("cannot read " + what + " from the terminal: " + std::strerror(errno));
    if (got == 0) {
      if (line.empty()) throw ToolError(nothingTyped(what));
      break;
    }
    if (c == '\n') break;
    line.push_back(c);
  }
  orv::secureWipe(&c, 1);
  if (!line.empty() && line.view().back() == '\r') line.resize(line.size() - 1);
  return line;
}

}  // namespace

bool standardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

orv::SecretText readHidden(const std::string& prompt, const std::string& what) {
  orv::platform::UniqueFd ownTerminal;
  int terminal = STDIN_FILENO;
  if (!standardInputIsTerminal()) {
    ownTerminal = orv::platform::UniqueFd(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!ownTerminal) {
      throw ToolError(what + " cannot be typed: no terminal to type it at (" + std::strerror(errno) + ")");
    }
    terminal = ownTerminal.get();
  }
  orv::SecretBytes typed;
  {
    const EchoOff quiet(terminal, what);
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    typed = readLine(terminal, what);
  }
  // The line break typed was not shown either.
  std::fputc('\n', stderr);
  if (const auto bad = orv::text::firstInvalidUtf8(typed.view())) {
    throw ToolError(what + " typed is not UTF-8 (at byte " + std::to_string(*bad) +
                    "); set the terminal to UTF-8");
  }
  return orv::SecretText(orv::text::fromUtf8(typed.view()));
}

}  // namespace orvacct
