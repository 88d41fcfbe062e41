#pragma once
// orvacct logs export: one line per whole record, streamed as it is read.
#include <string>
#include <vector>

#include "logs/log_scan.h"

namespace orvacct::logs {

enum class ExportFormat { Jsonl, Csv };

// False when a path could not be read.
bool exportRecords(const std::vector<std::string>& paths, const Filters& filters, ExportFormat format);

}  // namespace orvacct::logs
