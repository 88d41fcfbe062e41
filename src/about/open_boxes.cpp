#include "about/open_boxes.h"

#include <atomic>

namespace orv::about {
namespace {

// Boxes live on any client thread, so the count is atomic.
std::atomic<long> boxes{0};

}  // namespace

long openBoxes() noexcept { return boxes.load(); }
OpenBoxCount::OpenBoxCount() noexcept { ++boxes; }
OpenBoxCount::~OpenBoxCount() { --boxes; }

}  // namespace orv::about
