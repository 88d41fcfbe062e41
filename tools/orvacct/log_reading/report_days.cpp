// What a click on a bar of the chart shows: the bar's top errors and machines, written into the
// page beforehand (the page fetches nothing) for the busiest bars, the others only counted.
#include <algorithm>

#include "log_reading/report.h"

namespace orvacct::logs {
namespace {

template <class Key>
void largestFirst(std::vector<std::pair<Key, std::uint64_t>>& items) {
  std::sort(items.begin(), items.end(),
            [](const auto& a, const auto& b) { return a.second != b.second ? a.second > b.second : a.first < b.first; });
}

// Keeps the largest `listed`; gives how many went.
template <class Key>
std::size_t keepLargest(std::vector<std::pair<Key, std::uint64_t>>& items, std::size_t listed) {
  largestFirst(items);
  const std::size_t more = items.size() > listed ? items.size() - listed : 0;
  items.resize(items.size() - more);
  return more;
}

}  // namespace

std::vector<BarFigures> barFigures(const ReportData& data, const ChartPeriod& period, std::size_t detailed,
                                   std::size_t listed) {
  const std::size_t bars = period.starts.size();
  std::vector<BarFigures> figures(bars);
  for (std::size_t b = 0; b < bars; ++b) figures[b].bar = b;
  for (const auto& [day, count] : data.perDay) {
    if (const std::size_t bar = period.barOf(day); bar < bars) figures[bar].records += count;
  }
  // The busiest bars are detailed, the latest among equals.
  std::vector<std::size_t> order;
  for (std::size_t b = 0; b < bars; ++b) {
    if (figures[b].records > 0) order.push_back(b);
  }
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return figures[a].records != figures[b].records ? figures[a].records > figures[b].records : a > b;
  });
  if (order.size() > detailed) order.resize(detailed);
  for (const std::size_t b : order) figures[b].detailed = true;

  for (const auto& entry : data.errors.entries()) {
    const std::int32_t number = numberOf(entry.key);
    std::map<std::size_t, std::uint64_t> perBar;
    for (const auto& [day, count] : entry.payload.perDay) {
      if (const std::size_t bar = period.barOf(day); bar < bars && figures[bar].detailed) perBar[bar] += count;
    }
    for (const auto& [bar, count] : perBar) figures[bar].errors.emplace_back(number, count);
  }
  for (const auto& entry : data.machines.entries()) {
    std::map<std::size_t, std::uint64_t> perBar;
    for (const auto& [day, count] : entry.payload.perDay) {
      if (const std::size_t bar = period.barOf(day); bar < bars && figures[bar].detailed) perBar[bar] += count;
    }
    for (const auto& [bar, count] : perBar) figures[bar].machines.emplace_back(entry.key, count);
  }
  for (BarFigures& bar : figures) {
    bar.moreErrors = keepLargest(bar.errors, listed);
    bar.moreMachines = keepLargest(bar.machines, listed);
  }
  return figures;
}

}  // namespace orvacct::logs
