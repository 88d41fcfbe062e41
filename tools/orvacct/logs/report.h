#pragma once
// orvacct logs report: one HTML file that needs nothing beside it (no network, no script, style
// sheet or font from elsewhere), to open from a USB stick: the period and totals, records per
// day per application as an SVG chart, the top errors and the applications in tables sorted by
// clicking their headings.
#include <filesystem>
#include <string>
#include <vector>

#include "logs/report_data.h"

namespace orvacct::logs {

// Reads and writes the report, replacing output only once it is whole; false when a path
// could not be read. Throws ToolError when the report cannot be written.
bool writeReport(const std::vector<std::string>& paths, const Filters& filters, const std::filesystem::path& output,
                 const std::string& outputShown);

std::string reportHtml(const ReportData& data, const std::vector<std::string>& paths);

// The chart's applications, the largest first; past nine, the rest share one grey series.
struct ChartSeries {
  std::string name;
  const char* colour;
  std::vector<std::size_t> apps;
};
std::vector<ChartSeries> chartSeries(const ReportData& data);
void appendChart(std::string& out, const ReportData& data, const std::vector<ChartSeries>& series);

}  // namespace orvacct::logs
