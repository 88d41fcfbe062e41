#pragma once
// orvacct logs export: one line per whole record, streamed as it is read.
#include <string>
#include <vector>

#include "logs/log_scan.h"

namespace orvacct::logs {

enum class ExportFormat { Jsonl, Csv };

// The fields of a record, in their order.
const std::vector<std::string>& exportFields();

ScanCounts exportRecords(const std::vector<Root>& roots, const Filters& filters, ExportFormat format,
                         unsigned threads = 0);

}  // namespace orvacct::logs
