// Records per day as stacked bars, one colour per application, drawn as inline SVG: the report
// must open with no network, so there is no charting library to lean on.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "logs/report.h"

namespace orvacct::logs {
namespace {

// Tableau 10: told apart by most readers, colour-blind ones included; the grey is for the rest.
constexpr const char* kColours[] = {"#4e79a7", "#f28e2b", "#e15759", "#76b7b2", "#59a14f",
                                    "#edc948", "#b07aa1", "#ff9da7", "#9c755f"};
constexpr const char* kOtherColour = "#bab0ac";
constexpr std::size_t kNamedSeries = std::size(kColours);

constexpr double kWidth = 960, kHeight = 260, kLeft = 56, kRight = 12, kTop = 12, kBottom = 40;

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// 1, 2 or 5 times a power of ten, at least the value: round figures on the axis.
std::uint64_t roundUp(std::uint64_t value) {
  std::uint64_t unit = 1;
  for (;;) {
    for (const std::uint64_t step : {1, 2, 5}) {
      if (step * unit >= value) return step * unit;
    }
    unit *= 10;
  }
}

}  // namespace

std::vector<ChartSeries> chartSeries(const ReportData& data) {
  std::vector<std::size_t> order(data.apps.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return data.apps[a].records.count > data.apps[b].records.count;
  });
  const auto drawn = static_cast<std::size_t>(
      std::count_if(data.apps.begin(), data.apps.end(), [](const AppFigures& app) { return app.records.count > 0; }));
  std::vector<ChartSeries> series;
  for (const std::size_t app : order) {
    if (data.apps[app].records.count == 0) continue;
    // Ten colours: the tenth application gets the last one when there is no eleventh.
    if (series.size() < kNamedSeries || drawn == kNamedSeries + 1) {
      series.push_back(
          {data.apps[app].name, series.size() < kNamedSeries ? kColours[series.size()] : kOtherColour, {app}});
    } else {
      if (series.size() == kNamedSeries) series.push_back({"other applications", kOtherColour, {}});
      series.back().apps.push_back(app);
    }
  }
  return series;
}

void appendChart(std::string& out, const ReportData& data, const std::vector<ChartSeries>& series) {
  if (data.records.count == 0) {
    out += "<p class=\"empty\">No records.</p>\n";
    return;
  }
  const int firstDay = data.records.first.days;
  const auto days = static_cast<std::size_t>(data.records.last.days - firstDay + 1);
  std::vector<std::size_t> seriesOfApp(data.apps.size(), 0);
  for (std::size_t s = 0; s < series.size(); ++s) {
    for (const std::size_t app : series[s].apps) seriesOfApp[app] = s;
  }
  std::vector<std::vector<std::uint64_t>> stacks(days, std::vector<std::uint64_t>(series.size(), 0));
  for (const auto& [key, count] : data.perDay) {
    stacks[static_cast<std::size_t>(key.first - firstDay)][seriesOfApp[key.second]] += count;
  }
  std::uint64_t highest = 1;
  for (const auto& stack : stacks)
    highest = std::max(highest, std::accumulate(stack.begin(), stack.end(), std::uint64_t{0}));
  const std::uint64_t top = roundUp(highest);

  const double plotWidth = kWidth - kLeft - kRight, plotHeight = kHeight - kTop - kBottom;
  const double slot = plotWidth / static_cast<double>(days);
  const double bar = slot > 3 ? slot - 1 : slot;
  const auto y = [&](double value) { return kTop + plotHeight - value / static_cast<double>(top) * plotHeight; };

  out += "<svg class=\"chart\" viewBox=\"0 0 " + number(kWidth) + " " + number(kHeight) +
         "\" role=\"img\" aria-label=\"Records per day per application\">\n";
  for (int tick = 0; tick <= 4; ++tick) {
    const double value = static_cast<double>(top) * tick / 4;
    out += "<line class=\"grid\" x1=\"" + number(kLeft) + "\" x2=\"" + number(kWidth - kRight) + "\" y1=\"" +
           number(y(value)) + "\" y2=\"" + number(y(value)) + "\"/>";
    out += "<text class=\"axis\" x=\"" + number(kLeft - 6) + "\" y=\"" + number(y(value) + 4) +
           "\" text-anchor=\"end\">" + std::to_string(static_cast<std::uint64_t>(value)) + "</text>\n";
  }
  const std::size_t labelEvery = std::max<std::size_t>(1, (days + 7) / 8);
  for (std::size_t day = 0; day < days; day += labelEvery) {
    out += "<text class=\"axis\" x=\"" + number(kLeft + slot * (static_cast<double>(day) + 0.5)) + "\" y=\"" +
           number(kHeight - kBottom + 16) + "\" text-anchor=\"middle\">" + dateText(firstDay + static_cast<int>(day)) +
           "</text>\n";
  }
  for (std::size_t day = 0; day < days; ++day) {
    double base = 0;
    const std::string date = dateText(firstDay + static_cast<int>(day));
    for (std::size_t s = 0; s < series.size(); ++s) {
      const std::uint64_t count = stacks[day][s];
      if (count == 0) continue;
      const double upper = y(base + static_cast<double>(count));
      out += "<rect x=\"" + number(kLeft + slot * static_cast<double>(day)) + "\" y=\"" + number(upper) +
             "\" width=\"" + number(bar) + "\" height=\"" + number(y(base) - upper) + "\" fill=\"" + series[s].colour +
             "\"><title>" + date + " ";
      appendHtml(out, series[s].name);
      out += ": " + std::to_string(count) + "</title></rect>\n";
      base += static_cast<double>(count);
    }
  }
  out += "</svg>\n<ul class=\"legend\">";
  for (const ChartSeries& s : series) {
    out += "<li><span style=\"background:" + std::string(s.colour) + "\"></span>";
    appendHtml(out, s.name);
    out += "</li>";
  }
  out += "</ul>\n";
}

}  // namespace orvacct::logs
