#pragma once
// How every log writer waits for the append lock: long enough for the other writers' appends,
// never for ever. A holder that never lets go (a hung program, or a reader that took the byte,
// which Windows allows) would otherwise keep the application waiting inside LogErrors and its
// record unwritten; after the wait the record is appended without the lock instead.
#include <chrono>
#include <functional>

namespace orv::log {

inline constexpr std::chrono::seconds kAppendLockPatience{3};

enum class LockAttempt {
  taken,
  heldElsewhere,  // try again
  impossible,     // this file system or handle takes no such lock: append without it
};

// Calls attempt until it takes the lock, finds it impossible, or the patience has run out
// (at least one attempt); true when the lock was taken.
bool takeAppendLock(const std::function<LockAttempt()>& attempt,
                    std::chrono::steady_clock::duration patience = kAppendLockPatience);

}  // namespace orv::log
