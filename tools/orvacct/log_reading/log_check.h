#pragma once
// orvacct logs check: the records of a window measured for a monitoring plugin (Nagios, Icinga,
// Naemon): one line of status and performance data, then the largest groups.
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "log_reading/group_keys.h"
#include "log_reading/log_types.h"
#include "log_reading/log_text.h"
#include "log_reading/plugin_range.h"

namespace orvacct::logs {

struct GroupCount {
  std::string name;  // the group's keys, as shown, separated by spaces
  std::uint64_t count = 0;
};

struct CheckFigures {
  std::uint64_t records = 0, damaged = 0, machines = 0;
  std::vector<GroupCount> largest;  // with --by, the largest groups first
};

class CheckCounter final : public LogConsumer {
 public:
  // from: records before it are left out (an unknown time of day counts as its whole day).
  CheckCounter(std::optional<Moment> from, std::vector<GroupBy> by);

  void beginFile(const LogFile& file) override;
  void record(const LogFile& file, const orv::log::ReadRecord& record) override;
  void damaged(const LogFile& file, const orv::log::ReadProblem& problem) override;
  void endFile(const LogFile&) override {}

  // The `groups` largest groups.
  CheckFigures figures(std::size_t groups) const;

 private:
  std::optional<Moment> from_;
  std::unique_ptr<GroupKeys> keys_;  // with --by only
  std::unordered_map<std::string, std::uint64_t> groups_;
  std::set<std::string> machines_;
  std::uint64_t records_ = 0, damaged_ = 0;
  int days_ = 0;
};

struct CheckReport {
  PluginState state = PluginState::Ok;
  std::string window;  // "since 2026-11-10", "in the last 24h"
  std::string warning, critical;  // the ranges as given, for the performance data
  bool grouped = false;           // the thresholds were the largest group's
  std::uint64_t notRead = 0;      // entries under the paths that could not be read
};

// The measure the thresholds are held to: the records, or with --by the largest group's.
std::uint64_t measured(const CheckFigures& figures, bool grouped);

// The plugin's output: its status line with performance data, then one line per group shown.
std::string pluginOutput(const CheckFigures& figures, const CheckReport& report);

}  // namespace orvacct::logs
