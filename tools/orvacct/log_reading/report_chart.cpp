// Records per bar as stacked bars, one colour per application, drawn as inline SVG: the report
// must open with no network, so there is no charting library to lean on.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "log_reading/chart_labels.h"
#include "log_reading/report.h"

namespace orvacct::logs {
namespace {

// Tableau 10: told apart by most readers, colour-blind ones included; the grey is for the rest.
constexpr const char* kColours[] = {"#4e79a7", "#f28e2b", "#e15759", "#76b7b2", "#59a14f",
                                    "#edc948", "#b07aa1", "#ff9da7", "#9c755f"};
constexpr const char* kOtherColour = "#bab0ac";
constexpr std::size_t kNamedSeries = std::size(kColours);
constexpr const char* kOtherApps = "other applications";

constexpr double kWidth = 960, kHeight = 260, kLeft = 56, kRight = 12, kTop = 12, kBottom = 40;
constexpr double kPlotWidth = kWidth - kLeft - kRight, kPlotHeight = kHeight - kTop - kBottom;
// A bar narrower than this is hard to see and to point at: longer periods get longer bars.
constexpr double kNarrowestBar = 4;
// Days further than this from all others are not in the period (a machine's clock gone wrong).
constexpr int kFarApart = 366;

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

int yearStart(int days) {
  const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(days))};
  return std::chrono::sys_days(date.year() / 1 / 1).time_since_epoch().count();
}

int startOf(ChartPeriod::Unit unit, int day) {
  switch (unit) {
    case ChartPeriod::Unit::Day:
      return day;
    case ChartPeriod::Unit::Week:
      return weekStart(day);
    case ChartPeriod::Unit::Month:
      return monthStart(day);
    case ChartPeriod::Unit::Year:
      return yearStart(day);
  }
  return day;
}

int nextStart(ChartPeriod::Unit unit, int start) {
  switch (unit) {
    case ChartPeriod::Unit::Day:
      return start + 1;
    case ChartPeriod::Unit::Week:
      return start + 7;
    case ChartPeriod::Unit::Month:
      return monthStart(start + 31);
    case ChartPeriod::Unit::Year:
      return yearStart(start + 366);
  }
  return start + 1;
}

std::size_t barsBetween(ChartPeriod::Unit unit, int first, int last) {
  std::size_t bars = 0;
  for (int start = startOf(unit, first); start <= last; start = nextStart(unit, start)) ++bars;
  return bars;
}

void appendLabel(std::string& out, const ChartLabel& label, double y, const char* cssClass = "axis") {
  static constexpr const char* kAnchors[] = {"start", "middle", "end"};
  out += std::string("<text class=\"") + cssClass + "\" x=\"" + number(label.x) + "\" y=\"" + number(y) +
         "\" text-anchor=\"" + kAnchors[static_cast<int>(label.anchor)] + "\">";
  appendHtml(out, label.text);
  out += "</text>\n";
}

// The bars' ticks along the bottom, and as many of their labels as fit (the last always).
void appendTimeAxis(std::string& out, const ChartPeriod& period, double slot) {
  const std::size_t bars = period.starts.size();
  std::vector<std::string> texts;
  for (std::size_t bar = 0; bar < bars; ++bar) {
    const double x = kLeft + slot * (static_cast<double>(bar) + 0.5);
    out += "<line class=\"tick\" x1=\"" + number(x) + "\" x2=\"" + number(x) + "\" y1=\"" +
           number(kHeight - kBottom) + "\" y2=\"" + number(kHeight - kBottom + 4) + "\"/>";
    texts.push_back(period.label(bar));
  }
  for (const ChartLabel& label : timeAxisLabels(texts, kLeft, slot, kWidth - kRight)) {
    appendLabel(out, label, kHeight - kBottom + 16);
  }
}

}  // namespace

std::size_t ChartPeriod::barOf(int day) const {
  if (starts.empty() || day < starts.front() || day >= end) return starts.size();
  return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), day) - starts.begin()) - 1;
}

std::string ChartPeriod::label(std::size_t bar) const {
  const int day = starts[bar];
  switch (unit) {
    case Unit::Day:
      return dateText(day);
    case Unit::Week:
      return weekText(day);
    case Unit::Month:
      return monthText(day);
    case Unit::Year:
      return dateText(day).substr(0, 4);
  }
  return dateText(day);
}

ChartPeriod chartPeriod(const std::map<int, std::uint64_t>& perDay, std::optional<int> since,
                        std::optional<int> until) {
  ChartPeriod period;
  if (perDay.empty()) return period;
  // Runs of days without a gap of a year between them; the run with the most records is the
  // period.
  struct Run {
    int first, last;
    std::uint64_t records;
  };
  std::vector<Run> runs;
  for (const auto& [day, count] : perDay) {
    if (runs.empty() || day - runs.back().last > kFarApart) {
      runs.push_back({day, day, 0});
    }
    runs.back().last = day;
    runs.back().records += count;
  }
  Run main = runs.front();
  for (const Run& run : runs) {
    if (run.records >= main.records) main = run;  // among equals, the latest
  }
  int first = main.first, last = main.last;
  // The period asked for is shown whole, its empty days too, when it is near the records.
  if (since && *since <= first && first - *since <= kFarApart) first = *since;
  if (until && *until >= last && *until - last <= kFarApart) last = *until;
  for (const auto& [day, count] : perDay) {
    if (day < first || day > last) period.outside.emplace_back(day, count);
  }
  for (const ChartPeriod::Unit unit : {ChartPeriod::Unit::Day, ChartPeriod::Unit::Week, ChartPeriod::Unit::Month,
                                       ChartPeriod::Unit::Year}) {
    period.unit = unit;
    if (static_cast<double>(barsBetween(unit, first, last)) * kNarrowestBar <= kPlotWidth) break;
  }
  int start = startOf(period.unit, first);
  for (; start <= last; start = nextStart(period.unit, start)) period.starts.push_back(start);
  period.end = start;
  return period;
}

ValueAxis valueAxis(std::uint64_t largest) {
  constexpr std::uint64_t kMostSteps = 5;
  ValueAxis axis;
  for (std::uint64_t unit = 1;; unit *= 10) {
    for (const std::uint64_t step : {1, 2, 5}) {
      const std::uint64_t steps = (largest + step * unit - 1) / (step * unit);
      if (steps <= kMostSteps) {
        axis.step = step * unit;
        axis.top = std::max<std::uint64_t>(steps, 1) * axis.step;
        return axis;
      }
    }
  }
}

std::vector<ChartSeries> chartSeries(const ReportData& data) {
  std::vector<const HeavyHitters<PlaceFigures>::Entry*> apps;
  for (const auto& entry : data.apps.entries()) {
    if (entry.payload.records.count > 0) apps.push_back(&entry);
  }
  std::stable_sort(apps.begin(), apps.end(), [](const auto* a, const auto* b) {
    return a->payload.records.count != b->payload.records.count ? a->payload.records.count > b->payload.records.count
                                                                : a->key < b->key;
  });
  std::vector<ChartSeries> series;
  for (const auto* app : apps) {
    // Ten colours: the tenth application gets the last one when there is no eleventh.
    if (series.size() < kNamedSeries || apps.size() == kNamedSeries + 1) {
      series.push_back(
          {app->key, series.size() < kNamedSeries ? kColours[series.size()] : kOtherColour, {&app->payload}});
    } else {
      if (series.size() == kNamedSeries) series.push_back({kOtherApps, kOtherColour, {}});
      series.back().apps.push_back(&app->payload);
    }
  }
  return series;
}

void appendChart(std::string& out, const ReportData& data, const ChartPeriod& period) {
  if (period.empty()) {
    out += "<p class=\"empty\">No records.</p>\n";
    return;
  }
  const std::vector<ChartSeries> series = chartSeries(data);
  const std::size_t bars = period.starts.size();
  // The other applications' series, when there is one, is the one of several.
  const bool others = !series.empty() && series.back().apps.size() > 1;
  const std::size_t restAt = others ? series.size() - 1 : series.size();
  std::vector<std::vector<std::uint64_t>> stacks(bars, std::vector<std::uint64_t>(restAt + 1, 0));
  for (std::size_t s = 0; s < series.size(); ++s) {
    for (const PlaceFigures* app : series[s].apps) {
      for (const auto& [day, count] : app->perDay) {
        if (const std::size_t bar = period.barOf(day); bar < bars) stacks[bar][s] += count;
      }
    }
  }
  // Whatever the applications' figures lack (an application no longer counted on its own) is
  // shown with the other applications, so every bar's height is its records.
  std::vector<std::uint64_t> totals(bars, 0);
  for (const auto& [day, count] : data.perDay) {
    if (const std::size_t bar = period.barOf(day); bar < bars) totals[bar] += count;
  }
  bool rest = false;
  for (std::size_t bar = 0; bar < bars; ++bar) {
    const std::uint64_t drawn = std::accumulate(stacks[bar].begin(), stacks[bar].end(), std::uint64_t{0});
    const std::uint64_t lacking = totals[bar] - std::min(drawn, totals[bar]);
    stacks[bar][restAt] += lacking;
    rest = rest || lacking > 0;
  }
  std::vector<std::pair<std::string, const char*>> names;
  for (const ChartSeries& s : series) names.emplace_back(s.name, s.colour);
  if (!others) names.emplace_back(rest ? kOtherApps : "", kOtherColour);

  const ValueAxis axis = valueAxis(*std::max_element(totals.begin(), totals.end()));
  const double slot = kPlotWidth / static_cast<double>(bars);
  const double bar = slot > 3 ? slot - 1 : slot;
  const auto y = [&](double value) { return kTop + kPlotHeight - value / static_cast<double>(axis.top) * kPlotHeight; };

  out += "<svg class=\"chart\" viewBox=\"0 0 " + number(kWidth) + " " + number(kHeight) +
         "\" role=\"img\" aria-label=\"Records per bar per application\">\n";
  for (std::uint64_t value = 0; value <= axis.top; value += axis.step) {
    const double at = y(static_cast<double>(value));
    out += "<line class=\"grid\" x1=\"" + number(kLeft) + "\" x2=\"" + number(kWidth - kRight) + "\" y1=\"" +
           number(at) + "\" y2=\"" + number(at) + "\"/>";
    out += "<text class=\"axis\" x=\"" + number(kLeft - 6) + "\" y=\"" + number(at + 4) + "\" text-anchor=\"end\">" +
           countText(value) + "</text>\n";
  }
  appendTimeAxis(out, period, slot);
  for (std::size_t b = 0; b < bars; ++b) {
    if (totals[b] == 0) continue;
    double base = 0;
    const std::string when = period.label(b);
    // The whole height of its slot answers a click, not only its coloured part.
    out += "<g class=\"bar\" data-bar=\"" + std::to_string(b) + "\" tabindex=\"0\"><rect class=\"hit\" x=\"" +
           number(kLeft + slot * static_cast<double>(b)) + "\" y=\"" + number(kTop) + "\" width=\"" + number(slot) +
           "\" height=\"" + number(kPlotHeight) + "\"/>";
    for (std::size_t s = 0; s < names.size(); ++s) {
      const std::uint64_t count = stacks[b][s];
      if (count == 0) continue;
      const double upper = y(base + static_cast<double>(count));
      out += "<rect x=\"" + number(kLeft + slot * static_cast<double>(b)) + "\" y=\"" + number(upper) + "\" width=\"" +
             number(bar) + "\" height=\"" + number(y(base) - upper) + "\" fill=\"" + names[s].second + "\"><title>" +
             when + " ";
      appendHtml(out, names[s].first);
      out += ": " + countText(count) + "</title></rect>\n";
      base += static_cast<double>(count);
    }
    out += "</g>\n";
  }
  out += "</svg>\n<ul class=\"legend\">";
  for (const auto& [name, colour] : names) {
    if (name.empty()) continue;
    out += "<li><span style=\"background:" + std::string(colour) + "\"></span>";
    appendHtml(out, name);
    out += "</li>";
  }
  out += "</ul>\n";
  if (period.unit != ChartPeriod::Unit::Day) {
    static constexpr const char* kUnits[] = {"day", "week", "month", "year"};
    out += "<p class=\"note\">One bar a " + std::string(kUnits[static_cast<int>(period.unit)]) + ".</p>\n";
  }
  if (!period.outside.empty()) {
    std::uint64_t records = 0;
    for (const auto& [day, count] : period.outside) records += count;
    out += "<p class=\"note\" id=\"outside\">Not drawn: " + countText(records) +
           (records == 1 ? " record" : " records") + " on days far from all the others (a machine's clock?): ";
    constexpr std::size_t kNamed = 5;
    for (std::size_t i = 0; i < period.outside.size() && i < kNamed; ++i) {
      if (i > 0) out += ", ";
      out += dateText(period.outside[i].first) + " (" + countText(period.outside[i].second) + ")";
    }
    if (period.outside.size() > kNamed) out += " and " + countText(period.outside.size() - kNamed) + " more days";
    out += ". They are counted everywhere else.</p>\n";
  }
}

void appendSmallChart(std::string& out, const std::unordered_map<int, std::uint64_t>& perDay,
                      const ChartPeriod& period) {
  // The plot, with room on the left for the value axis, above for the busiest bar's label and
  // below for the period's ends.
  constexpr double kSmallWidth = 640, kSmallHeight = 92, kPlotLeft = 44, kPlotRight = 632, kPlotTop = 18,
                   kPlotBottom = 70;
  const std::size_t bars = period.starts.size();
  if (bars == 0) return;
  std::vector<std::uint64_t> counts(bars, 0);
  for (const auto& [day, count] : perDay) {
    if (const std::size_t bar = period.barOf(day); bar < bars) counts[bar] += count;
  }
  // The busiest, the latest among equals.
  std::size_t busiest = 0;
  for (std::size_t b = 0; b < bars; ++b) {
    if (counts[b] >= counts[busiest]) busiest = b;
  }
  const std::uint64_t highest = std::max<std::uint64_t>(1, counts[busiest]);
  const double slot = (kPlotRight - kPlotLeft) / static_cast<double>(bars);
  const double plotHeight = kPlotBottom - kPlotTop;
  out += "<svg class=\"small\" viewBox=\"0 0 " + number(kSmallWidth) + " " + number(kSmallHeight) +
         "\" role=\"img\" aria-label=\"Records per bar, highest " + countText(highest) + "\">";
  out += "<line class=\"axis-line\" x1=\"" + number(kPlotLeft) + "\" x2=\"" + number(kPlotRight) + "\" y1=\"" +
         number(kPlotBottom) + "\" y2=\"" + number(kPlotBottom) + "\"/><line class=\"axis-line\" x1=\"" +
         number(kPlotLeft) + "\" x2=\"" + number(kPlotLeft) + "\" y1=\"" + number(kPlotTop) + "\" y2=\"" +
         number(kPlotBottom) + "\"/>";
  for (const std::uint64_t value : {std::uint64_t{0}, highest}) {
    const double y = kPlotBottom - static_cast<double>(value) / static_cast<double>(highest) * plotHeight;
    appendLabel(out, {countText(value), kPlotLeft - 6, ChartLabel::Anchor::End}, y + 4);
  }
  for (std::size_t b = 0; b < bars; ++b) {
    if (counts[b] == 0) continue;
    const double height = static_cast<double>(counts[b]) / static_cast<double>(highest) * plotHeight;
    out += "<rect" + std::string(b == busiest ? " class=\"busiest\"" : "") + " x=\"" +
           number(kPlotLeft + slot * static_cast<double>(b)) + "\" y=\"" + number(kPlotBottom - height) +
           "\" width=\"" + number(slot > 2 ? slot - 0.5 : slot) + "\" height=\"" + number(height) + "\"><title>" +
           period.label(b) + ": " + countText(counts[b]) + "</title></rect>";
  }
  // The busiest bar named above the plot; the period's first and last bars below it.
  const double centre = kPlotLeft + slot * (static_cast<double>(busiest) + 0.5);
  const std::vector<ChartLabel> top =
      placeLabels({{period.label(busiest) + ": " + countText(counts[busiest]), centre, ChartLabel::Anchor::Middle},
                   {period.label(busiest) + ": " + countText(counts[busiest]), kPlotLeft, ChartLabel::Anchor::Start},
                   {period.label(busiest) + ": " + countText(counts[busiest]), kPlotRight, ChartLabel::Anchor::End}},
                  kPlotLeft, kPlotRight);
  if (!top.empty()) appendLabel(out, top.front(), kPlotTop - 6, "axis busiest");
  std::vector<ChartLabel> ends{{period.label(0), kPlotLeft, ChartLabel::Anchor::Start}};
  if (bars > 1) ends.push_back({period.label(bars - 1), kPlotRight, ChartLabel::Anchor::End});
  for (const ChartLabel& label : placeLabels(ends, 0, kSmallWidth)) appendLabel(out, label, kPlotBottom + 16);
  out += "</svg>";
}

}  // namespace orvacct::logs
