#include "log/append_lock_wait.h"

#include <thread>

namespace orv::log {

// A waiter polls rather than blocks: neither Windows nor Linux offers a lock wait with a time
// limit (Wine does not implement the overlapped one), and a short poll loses little of an append
// that takes well under a millisecond.
bool takeAppendLock(const std::function<LockAttempt()>& attempt, std::chrono::steady_clock::duration patience) {
  constexpr std::chrono::milliseconds kPoll{1};
  const auto giveUpAt = std::chrono::steady_clock::now() + patience;
  for (;;) {
    const LockAttempt result = attempt();
    if (result != LockAttempt::heldElsewhere) return result == LockAttempt::taken;
    if (std::chrono::steady_clock::now() >= giveUpAt) return false;
    std::this_thread::sleep_for(kPoll);
  }
}

}  // namespace orv::log
