#pragma once
// orvacct logs report: one HTML file that needs nothing beside it (no network, no script, style
// sheet or font from elsewhere), to open from a USB stick: what it covers (roots, filters, when it
// was made), what under the roots was not read and why, the period and totals, records per day
// per application as an SVG chart whose bars open to their top errors and machines, the top
// errors (each opening to where it happens, its days, the records of its busiest day and its
// latest records), the applications and machines in tables sorted by clicking their headings,
// and the first damaged records.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "log_reading/report_data.h"

namespace orvacct::logs {

// What the report covers, as the command line gave it.
struct ReportScope {
  std::vector<Root> roots;
  std::vector<std::string> filters;  // "--app Billing", "--since 2002-03-01", ...
  std::optional<int> since, until;
  std::string madeAt;  // local time, "YYYY-MM-DD HH:MM"
};

// Reads the logs and makes the report's page.
std::string reportPage(const ReportScope& scope, const Filters& filters, const ScanSettings& settings,
                       ScanCounts& counts);

std::string reportHtml(const ReportData& data, const ReportScope& scope, const ScanCounts& counts);

// The chart's period: the days around the records, shown a day, a week, a month or a year a bar
// so bars stay a few pixels wide; days far from all the others (a machine whose clock said
// 0100 or 9999) are left out and told.
struct ChartPeriod {
  enum class Unit { Day, Week, Month, Year };
  Unit unit = Unit::Day;
  std::vector<int> starts;  // the first day of each bar; the period ends the day before `end`
  int end = 0;
  std::vector<std::pair<int, std::uint64_t>> outside;  // days left out, with their records

  bool empty() const { return starts.empty(); }
  // The bar of a day; starts.size() when the day is outside the period.
  std::size_t barOf(int day) const;
  std::string label(std::size_t bar) const;
};
ChartPeriod chartPeriod(const std::map<int, std::uint64_t>& perDay, std::optional<int> since, std::optional<int> until);

// The value axis: whole numbers in steps of 1, 2 or 5 times a power of ten, the top line at the
// largest value or just above it.
struct ValueAxis {
  std::uint64_t step = 1, top = 1;
};
ValueAxis valueAxis(std::uint64_t largest);

// The chart's applications, the largest first; past nine, the rest share one grey series.
struct ChartSeries {
  std::string name;
  const char* colour;
  std::vector<const PlaceFigures*> apps;
};
std::vector<ChartSeries> chartSeries(const ReportData& data);
void appendChart(std::string& out, const ReportData& data, const ChartPeriod& period);
// One error's records per bar, small, for its drill-down.
void appendSmallChart(std::string& out, const std::unordered_map<int, std::uint64_t>& perDay,
                      const ChartPeriod& period);

// A bar of the chart as a click shows it: its records and, for the `detailed` busiest bars, its
// `listed` largest error numbers and machines with their records in the bar, the rest counted.
struct BarFigures {
  std::size_t bar = 0;
  std::uint64_t records = 0;
  bool detailed = false;
  std::vector<std::pair<std::int32_t, std::uint64_t>> errors;  // the most records first
  std::size_t moreErrors = 0;                                   // numbers in the bar not listed
  std::vector<std::pair<std::string, std::uint64_t>> machines;
  std::size_t moreMachines = 0;
};
std::vector<BarFigures> barFigures(const ReportData& data, const ChartPeriod& period, std::size_t detailed,
                                   std::size_t listed);

}  // namespace orvacct::logs
