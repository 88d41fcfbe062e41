#pragma once
// What the HTML report shows, gathered as the logs are read: figures per application, per
// error number and per day, never the records themselves.
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "logs/log_scan.h"
#include "logs/most_frequent.h"
#include "logs/text_hash.h"

namespace orvacct::logs {

struct AppFigures {
  std::string name;  // UTF-8
  Seen records;
  std::uint64_t damaged = 0;
  std::uint64_t files = 0;
  TextSet versions;  // ANSI bytes
  std::unordered_set<std::int32_t> numbers;
  TextSet folders;
};

struct ErrorFigures {
  std::int32_t number = 0;
  Seen records;
  MostFrequent descriptions;      // ANSI bytes
  std::vector<std::size_t> apps;  // indexes into ReportData::apps
  TextSet versions;
};

struct ReportData {
  std::vector<AppFigures> apps;
  std::unordered_map<std::int32_t, ErrorFigures> errors;
  std::map<std::pair<int, std::size_t>, std::uint64_t> perDay;  // (day, application) to whole records
  Seen records;
  std::uint64_t damaged = 0;
  std::uint64_t files = 0;
  TextSet folders;
};

// Reads the logs; allRead is false when a path could not be read.
ReportData gatherReport(const std::vector<std::string>& paths, const Filters& filters, bool& allRead);

// Versions in their numeric order: 2.9.0 before 2.10.1.
bool versionLess(std::string_view a, std::string_view b);

}  // namespace orvacct::logs
