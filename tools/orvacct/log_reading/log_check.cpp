#include "log_reading/log_check.h"

#include <algorithm>

namespace orvacct::logs {
namespace {

// A monitoring system reads one line of status and takes '|' to begin the performance data.
std::string plainName(std::string name) {
  for (char& c : name) {
    if (c == '|' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return name;
}

}  // namespace

CheckCounter::CheckCounter(std::optional<Moment> from, std::vector<GroupBy> by) : from_(from) {
  if (!by.empty()) keys_ = std::make_unique<GroupKeys>(std::move(by));
}

void CheckCounter::beginFile(const LogFile& file) {
  days_ = file.days;
  if (keys_) keys_->beginFile(file);
}

void CheckCounter::record(const LogFile& file, const orv::log::ReadRecord& record) {
  if (from_ && (record.secondOfDay < 0 ? days_ < from_->days : Moment{days_, record.secondOfDay} < *from_)) return;
  ++records_;
  machines_.insert(file.machine);
  if (keys_) ++groups_[keys_->of(file, record)];
}

void CheckCounter::damaged(const LogFile&, const orv::log::ReadProblem&) { ++damaged_; }

CheckFigures CheckCounter::figures(std::size_t groups) const {
  CheckFigures figures{records_, damaged_, machines_.size(), {}};
  if (!keys_) return figures;
  std::vector<std::pair<std::string, std::uint64_t>> sorted(groups_.begin(), groups_.end());
  std::sort(sorted.begin(), sorted.end(), [this](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : keys_->less(a.first, b.first);
  });
  sorted.resize(std::min(groups, sorted.size()));
  for (const auto& [key, count] : sorted) {
    std::string name;
    for (const KeyValue& value : keys_->decode(key)) name += (name.empty() ? "" : " ") + value.text;
    figures.largest.push_back({std::move(name), count});
  }
  return figures;
}

std::uint64_t measured(const CheckFigures& figures, bool grouped) {
  if (!grouped) return figures.records;
  return figures.largest.empty() ? 0 : figures.largest.front().count;
}

std::string pluginOutput(const CheckFigures& figures, const CheckReport& report) {
  const auto count = [](std::uint64_t value) { return std::to_string(value); };
  std::string out = std::string("ORVACCT LOGS ") + pluginStateName(report.state) + " - ";
  if (report.notRead > 0) out += count(report.notRead) + " not read under the paths (see standard error); ";
  out += count(figures.records) + (figures.records == 1 ? " record " : " records ") + report.window;
  if (report.grouped) {
    out += figures.largest.empty() ? " (no group)"
                                   : " (largest: " + plainName(figures.largest.front().name) + " " +
                                         count(figures.largest.front().count) + ")";
  }
  const std::string thresholds = ";" + report.warning + ";" + report.critical + ";0";
  out += " | records=" + count(figures.records) + (report.grouped ? ";;;0" : thresholds);
  if (report.grouped) out += " largest=" + count(measured(figures, true)) + thresholds;
  out += " damaged=" + count(figures.damaged) + ";;;0 machines=" + count(figures.machines) + ";;;0\n";
  for (const GroupCount& group : figures.largest) out += plainName(group.name) + ": " + count(group.count) + "\n";
  return out;
}

}  // namespace orvacct::logs
