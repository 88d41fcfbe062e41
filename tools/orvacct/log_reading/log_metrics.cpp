#include "log_reading/log_metrics.h"

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <vector>

namespace orvacct::logs {
namespace {

using Source = std::pair<std::string, std::string>;

void appendNumber(std::string& out, double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  out += text;
}

void appendCount(std::string& out, std::uint64_t value) { out += std::to_string(value); }

void family(std::string& out, std::string_view name, std::string_view help) {
  out.append("# HELP ").append(name).append(" ").append(help).append("\n");
  out.append("# TYPE ").append(name).append(" gauge\n");
}

void sourceLabels(std::string& out, const Source& source) {
  out += "app=\"";
  appendLabelValue(out, source.first);
  out += "\",machine=\"";
  appendLabelValue(out, source.second);
  out += '"';
}

// A series of one source, the labels after the source's own given as they are written.
void sample(std::string& out, std::string_view name, const Source& source, std::string_view more) {
  out.append(name).append("{");
  sourceLabels(out, source);
  out.append(more).append("} ");
}

struct RecordSeries {
  const Source* source;
  std::int32_t number;
  std::uint64_t count;
};

// The largest series kept, ties to the first by source and number so the choice is stable;
// the rest summed per source.
void writeRecords(std::string& out, const MetricsFigures& figures, std::size_t top) {
  std::vector<RecordSeries> series;
  for (const auto& [source, figure] : figures.sources) {
    for (const auto& [number, count] : figure.records) series.push_back({&source, number, count});
  }
  if (series.size() > top) {
    std::stable_sort(series.begin(), series.end(),
                     [](const RecordSeries& a, const RecordSeries& b) { return a.count > b.count; });
  }
  const std::size_t kept = std::min(top, series.size());
  std::map<Source, std::uint64_t> others;
  for (std::size_t i = kept; i < series.size(); ++i) others[*series[i].source] += series[i].count;
  series.resize(kept);
  std::sort(series.begin(), series.end(), [](const RecordSeries& a, const RecordSeries& b) {
    return std::tie(*a.source, a.number) < std::tie(*b.source, b.number);
  });
  family(out, "orvacct_log_records", "Whole records in the window, by application, machine and error number.");
  for (const RecordSeries& one : series) {
    sample(out, "orvacct_log_records", *one.source, ",number=\"" + std::to_string(one.number) + "\"");
    appendCount(out, one.count);
    out += '\n';
  }
  for (const auto& [source, count] : others) {
    sample(out, "orvacct_log_records", source, ",number=\"other\"");
    appendCount(out, count);
    out += '\n';
  }
}

}  // namespace

void MetricsCounter::beginFile(const LogFile& file) {
  source_ = &figures_.sources[{file.app, file.machine}];
  days_ = file.days;
}

void MetricsCounter::record(const LogFile&, const orv::log::ReadRecord& record) {
  ++source_->records[record.number];
  source_->seen.add({days_, record.secondOfDay});
}

void MetricsCounter::damaged(const LogFile&, const orv::log::ReadProblem&) { ++source_->damaged; }

void appendLabelValue(std::string& out, std::string_view utf8) {
  for (const char c : utf8) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
}

std::string metricsExposition(const MetricsFigures& figures, const ExpositionOptions& options) {
  std::string out;
  writeRecords(out, figures, options.top);
  family(out, "orvacct_log_damaged_records", "Records lost to damage, by application and machine.");
  for (const auto& [source, figure] : figures.sources) {
    sample(out, "orvacct_log_damaged_records", source, "");
    appendCount(out, figure.damaged);
    out += '\n';
  }
  family(out, "orvacct_log_last_record_timestamp_seconds",
         "When the latest record in the window was written (local time read as this machine's).");
  for (const auto& [source, figure] : figures.sources) {
    if (figure.seen.count == 0) continue;
    sample(out, "orvacct_log_last_record_timestamp_seconds", source, "");
    // A record whose time of day cannot be read counts from the start of its day.
    appendNumber(out, options.secondsOf({figure.seen.last.days, std::max(figure.seen.last.second, 0)}));
    out += '\n';
  }
  family(out, "orvacct_log_files_read", "Log files read.");
  out += "orvacct_log_files_read ";
  appendCount(out, figures.filesRead);
  family(out.append("\n"), "orvacct_log_read_problems", "Files and folders under the paths that could not be read.");
  out += "orvacct_log_read_problems ";
  appendCount(out, figures.readProblems);
  family(out.append("\n"), "orvacct_log_scrape_timestamp_seconds", "When these figures were taken.");
  out += "orvacct_log_scrape_timestamp_seconds ";
  appendNumber(out, options.now);
  out += '\n';
  return out;
}

}  // namespace orvacct::logs
