#pragma once
// The log files under the paths given, read one after the other with the filters applied: every
// whole record goes to the consumer, every damage to standard error as FILE:LINE: ..., and
// every path that cannot be read to standard error as well.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "log/record_reader.h"
#include "logs/log_text.h"

namespace orvacct::logs {

struct Filters {
  std::optional<int> since, until;   // days, both inclusive
  std::vector<std::u16string> apps;  // lower case
  std::vector<std::int32_t> numbers;

  bool acceptsFile(std::u16string_view app, int days) const;
  bool acceptsNumber(std::int32_t number) const;
};

// A log file as found.
struct LogFile {
  std::filesystem::path path;
  std::string pathText;  // UTF-8, as it is shown
  std::string folder;    // the folder holding it, UTF-8
  std::string app;       // as its name has it, UTF-8
  int days = 0;          // its name's date
};

class LogConsumer {
 public:
  virtual void beginFile(const LogFile& file) = 0;
  virtual void record(const LogFile& file, const orv::log::ReadRecord& record) = 0;
  // A record lost to damage (its number, say, cannot be trusted: only its file is known).
  virtual void damaged(const LogFile& file) = 0;
  virtual void endFile(const LogFile& file) = 0;

 protected:
  ~LogConsumer() = default;
};

// False when a path, or a file found under it, could not be read.
bool scanLogs(const std::vector<std::string>& paths, const Filters& filters, LogConsumer& consumer);

}  // namespace orvacct::logs
