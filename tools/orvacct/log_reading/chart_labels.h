#pragma once
// Where a chart's labels go so that none overlaps another: each label asked for, in the order
// it matters, is drawn only where it clears those already placed.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvacct::logs {

// Width of a text in the charts' 11 px font: digits, the widest of its characters, are 0.64 em.
double labelWidth(std::string_view text);

struct ChartLabel {
  enum class Anchor { Start, Middle, End };
  std::string text;
  double x = 0;  // where it is anchored
  Anchor anchor = Anchor::Middle;
  double left() const;
  double right() const;
};

// The labels that clear each other by a gap, and lie within [low, high]; earlier ones first.
std::vector<ChartLabel> placeLabels(const std::vector<ChartLabel>& wanted, double low, double high);

// A time axis of one slot of `slot` a bar from `left`, its right edge at `high`, and a text for
// each bar: the last bar labelled (ending at the edge when its label would run past it), then
// every k-th counting back from it, k as small as lets the widest text clear its neighbours.
// The last comes first.
std::vector<ChartLabel> timeAxisLabels(const std::vector<std::string>& texts, double left, double slot, double high);

}  // namespace orvacct::logs
