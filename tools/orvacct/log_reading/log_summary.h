#pragma once
// orvacct logs summary: records counted per group of one or more keys (application, machine,
// error number, module, procedure, version, day, week, month), as they are read; nothing of a
// record is kept but its group's figures. With --top only the largest groups are kept, in
// bounded memory.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log_reading/log_types.h"
#include "rows/row_writer.h"

namespace orvacct::logs {

enum class SummaryFormat { Table, Jsonl, Csv };

struct SummaryOptions {
  std::vector<GroupBy> by = {GroupBy::Number};
  SummaryFormat format = SummaryFormat::Table;
  std::optional<std::size_t> top;  // the largest groups only
};

// Reads, and writes the summary to the output; notes (counts that are estimates) go to the
// settings' problem sink.
ScanCounts summarizeLogs(const std::vector<Root>& roots, const Filters& filters, const SummaryOptions& options,
                         const ScanSettings& settings, const RowWriter::Sink& output);

// The text that summarizeLogs writes.
std::string summaryText(const std::vector<Root>& roots, const Filters& filters, const SummaryOptions& options,
                        const ScanSettings& settings, ScanCounts& counts);

}  // namespace orvacct::logs
