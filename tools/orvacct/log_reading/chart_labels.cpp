#include "log_reading/chart_labels.h"

#include <algorithm>
#include <cmath>

namespace orvacct::logs {
namespace {

constexpr double kEm = 11;
constexpr double kGap = 6;

}  // namespace

double labelWidth(std::string_view text) {
  // A UTF-8 character counts once, whatever its bytes.
  const auto characters = static_cast<double>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
  return characters * 0.64 * kEm;
}

double ChartLabel::left() const {
  switch (anchor) {
    case Anchor::Start:
      return x;
    case Anchor::Middle:
      return x - labelWidth(text) / 2;
    case Anchor::End:
      return x - labelWidth(text);
  }
  return x;
}

double ChartLabel::right() const { return left() + labelWidth(text); }

std::vector<ChartLabel> placeLabels(const std::vector<ChartLabel>& wanted, double low, double high) {
  std::vector<ChartLabel> placed;
  for (const ChartLabel& label : wanted) {
    if (label.left() < low || label.right() > high) continue;
    const bool clear = std::all_of(placed.begin(), placed.end(), [&](const ChartLabel& other) {
      return label.right() + kGap <= other.left() || other.right() + kGap <= label.left();
    });
    if (clear) placed.push_back(label);
  }
  return placed;
}

std::vector<ChartLabel> timeAxisLabels(const std::vector<std::string>& texts, double left, double slot, double high) {
  if (texts.empty()) return {};
  double widest = 0;
  for (const std::string& text : texts) widest = std::max(widest, labelWidth(text));
  const std::size_t bars = texts.size();
  const auto every = static_cast<std::size_t>(std::max(1.0, std::ceil((widest + kGap) / slot)));
  const auto centre = [&](std::size_t bar) { return left + slot * (static_cast<double>(bar) + 0.5); };
  std::vector<ChartLabel> wanted;
  const std::size_t last = bars - 1;
  if (centre(last) + labelWidth(texts[last]) / 2 > high) {
    wanted.push_back({texts[last], high, ChartLabel::Anchor::End});
  } else {
    wanted.push_back({texts[last], centre(last), ChartLabel::Anchor::Middle});
  }
  for (std::size_t back = every; back <= last; back += every) {
    wanted.push_back({texts[last - back], centre(last - back), ChartLabel::Anchor::Middle});
  }
  // Left of the plot is the value axis.
  return placeLabels(wanted, left, high);
}

}  // namespace orvacct::logs
