#include "com/module_state.h"

#include <atomic>

namespace orv::com {
namespace {

// Apartment-threaded instances may still live on several threads at once, so the counts are atomic.
std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

}  // namespace

void objectCreated() noexcept { ++liveObjects; }
void objectDestroyed() noexcept { --liveObjects; }
void lockServer(bool lock) noexcept {
  if (lock) {
    ++serverLocks;
  } else {
    --serverLocks;
  }
}
bool moduleInUse() noexcept { return liveObjects.load() > 0 || serverLocks.load() > 0; }

}  // namespace orv::com
