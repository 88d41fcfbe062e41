#include "com/module_state.h"

#include <atomic>

#include "about/open_boxes.h"

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
// An open About box runs this module's window and hook procedures even after its client has
// released every object.
bool moduleInUse() noexcept { return liveObjects.load() > 0 || serverLocks.load() > 0 || about::openBoxes() > 0; }

}  // namespace orv::com
