#include "output_files/interrupt_cleanup.h"

#ifndef _WIN32
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

#include <atomic>
#endif

namespace orvacct {

#ifdef _WIN32

orv::platform::TemporaryNameObserver removeTemporaryOnInterrupt() { return {}; }

#else

namespace {

// Process-wide by nature, as signal dispositions are. Two buffers, so the handler always reads
// a whole name: one is published while the other is being filled.
char temporaryNames[2][PATH_MAX];
std::atomic<int> published{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeTemporaryAndDie(int signal) {
  const int index = published.load();
  if (index >= 0) ::unlink(temporaryNames[index]);
  // Blocked while this handler runs, the signal is delivered again on return, now with its
  // default action, so the parent sees the process ended by it.
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  ::sigaction(signal, &byDefault, nullptr);
  ::raise(signal);
}

void installHandlers() {
  struct sigaction action {};
  action.sa_handler = removeTemporaryAndDie;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (const int signal : kSignals) {
    // A signal ignored by whoever started the tool (nohup, a background job) stays ignored.
    struct sigaction inherited {};
    if (::sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace

orv::platform::TemporaryNameObserver removeTemporaryOnInterrupt() {
  static const bool installed = (installHandlers(), true);
  static_cast<void>(installed);
  return [](const std::filesystem::path& name) {
    const std::string& native = name.native();
    if (native.empty() || native.size() >= PATH_MAX) {
      published.store(-1);
      return;
    }
    const int next = published.load() == 0 ? 1 : 0;
    std::memcpy(temporaryNames[next], native.c_str(), native.size() + 1);
    published.store(next);
  };
}

#endif

}  // namespace orvacct
