#pragma once
// The log files under the roots given, read with the filters applied: every whole record goes to
// the consumer, every damage to the problem sink with its file and line, and everything under the
// roots that could not be read, or was not read (a link, a FIFO under a log's name), to the
// problem sink as well. Files are read on several threads where there are several processors,
// and what they give reaches the consumer and the sink in one order, the same as on one thread.
#include <vector>

#include "log_reading/log_types.h"

namespace orvacct::logs {

ScanCounts scanLogs(const std::vector<Root>& roots, const Filters& filters, LogConsumer& consumer,
                    const ScanSettings& settings);

// The same, with the files read in the order of their names' dates (a day's files in the order
// above): the walk lists them first, then each is opened again by its path.
ScanCounts scanLogsByDay(const std::vector<Root>& roots, const Filters& filters, LogConsumer& consumer,
                         const ScanSettings& settings);

}  // namespace orvacct::logs
