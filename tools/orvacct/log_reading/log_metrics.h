#pragma once
// orvacct logs metrics: the records of a window counted for Prometheus, as the text exposition
// format a textfile collector (node_exporter, windows_exporter) reads.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "log_reading/log_types.h"
#include "log_reading/log_text.h"

namespace orvacct::logs {

// What one application wrote on one machine.
struct SourceFigures {
  std::map<std::int32_t, std::uint64_t> records;  // by error number
  std::uint64_t damaged = 0;
  Seen seen;
};

struct MetricsFigures {
  std::map<std::pair<std::string, std::string>, SourceFigures> sources;  // by application, machine
  std::uint64_t filesRead = 0;
  std::uint64_t readProblems = 0;
};

class MetricsCounter final : public LogConsumer {
 public:
  void beginFile(const LogFile& file) override;
  void record(const LogFile& file, const orv::log::ReadRecord& record) override;
  void damaged(const LogFile& file, const orv::log::ReadProblem& problem) override;
  void endFile(const LogFile&) override {}

  MetricsFigures& figures() { return figures_; }

 private:
  MetricsFigures figures_;
  SourceFigures* source_ = nullptr;  // the file's
  int days_ = 0;
};

struct ExpositionOptions {
  std::size_t top = 500;  // records series; the rest summed as number="other" per source
  double now = 0;         // seconds since 1970, when the figures were taken
  // Seconds since 1970 of a moment of local time.
  std::function<double(const Moment&)> secondsOf;
};

// The whole file, every series with its HELP and TYPE.
std::string metricsExposition(const MetricsFigures& figures, const ExpositionOptions& options);

// A label's value between its quotes: backslash, quote and line feed escaped.
void appendLabelValue(std::string& out, std::string_view utf8);

}  // namespace orvacct::logs
