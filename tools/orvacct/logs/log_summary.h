#pragma once
// orvacct logs summary: records counted per application, error number, module, version or day,
// as they are read; nothing of a record is kept but its group's figures.
#include <optional>
#include <string>
#include <vector>

#include "logs/log_scan.h"

namespace orvacct::logs {

enum class GroupBy { App, Number, Module, Version, Day };
enum class SummaryFormat { Table, Jsonl, Csv };

struct SummaryOptions {
  GroupBy by = GroupBy::App;
  SummaryFormat format = SummaryFormat::Table;
  std::optional<std::size_t> top;  // the largest groups only
};

// Reads and prints; false when a path could not be read.
bool summarizeLogs(const std::vector<std::string>& paths, const Filters& filters, const SummaryOptions& options);

// The text that summarizeLogs prints.
std::string summaryText(const std::vector<std::string>& paths, const Filters& filters, const SummaryOptions& options,
                        bool& allRead);

}  // namespace orvacct::logs
