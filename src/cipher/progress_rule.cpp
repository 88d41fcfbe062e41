#include "cipher/progress_rule.h"

#include <cmath>

namespace orv::cipher {

void ProgressRule::report(std::uint64_t offset) {
  // Double arithmetic on purpose: o / C * 100 truncates differently from integer division
  // at some offsets (232 / 800 gives 28), and the reported sequence must not change.
  const double total = static_cast<double>(total_);
  lastPercent_ = static_cast<std::int32_t>(std::floor(static_cast<double>(offset) / total * 100.0));
  // nearbyint rounds halves to even in the default rounding mode.
  next_ = static_cast<std::uint64_t>(std::nearbyint((lastPercent_ + 1) / 100.0 * total + 1.0));
  if (handler_) handler_(lastPercent_);
}

void ProgressRule::finish() {
  if (lastPercent_ == 100) return;
  lastPercent_ = 100;
  if (handler_) handler_(lastPercent_);
}

}  // namespace orv::cipher
