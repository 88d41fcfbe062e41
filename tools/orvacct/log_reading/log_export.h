#pragma once
// orvacct logs export: one line per whole record, streamed as it is read.
#include <string>
#include <vector>

#include "log_reading/log_types.h"
#include "rows/row_writer.h"

namespace orvacct::logs {

enum class ExportFormat { Jsonl, Csv };
// File: each file's records as they are read. Time: every record in time order, across files;
// the records of one day are held at once, so memory grows with the largest day, not the logs.
enum class ExportOrder { File, Time };

// The fields of a record, in their order.
const std::vector<std::string>& exportFields();

// The rows go to the output in large pieces.
ScanCounts exportRecords(const std::vector<Root>& roots, const Filters& filters, ExportFormat format,
                         ExportOrder order, const ScanSettings& settings, const RowWriter::Sink& output);

}  // namespace orvacct::logs
