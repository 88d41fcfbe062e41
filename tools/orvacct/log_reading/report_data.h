#pragma once
// What the HTML report shows, gathered as the logs are read: figures per application, machine,
// error number and day, the few most recent records of each error, and the first damaged
// records; never all the records. Memory is bounded by what the page shows: errors,
// applications and machines are counted in bounded tables (heavy_hitters.h), each list within
// an error is bounded too, and a text is kept only up to a bound.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "log_reading/group_keys.h"
#include "log_reading/heavy_hitters.h"
#include "log_reading/log_types.h"
#include "log_reading/log_text.h"
#include "log_reading/most_frequent.h"
#include "log_reading/text_hash.h"

namespace orvacct::logs {

// Distinct values counted up to a bound, past which it is "more than".
class DistinctCount {
 public:
  static constexpr std::size_t kBound = 1000;
  void add(std::string_view value) {
    if (values_.contains(value)) return;
    if (values_.size() < kBound) {
      values_.emplace(value);
    } else {
      more_ = true;
    }
  }
  std::size_t count() const { return values_.size(); }
  bool more() const { return more_; }

 private:
  TextSet values_;
  bool more_ = false;
};

struct Nothing {};
using Tally = HeavyHitters<Nothing>;

// A key added to tallies many times in a row (a file's machine, its version), added once with
// its count when another key comes or the run is flushed: the same counts, and the same key
// dropped from a full tally, as adding it once a record.
class TallyRun {
 public:
  template <class... Tallies>
  void add(std::string_view key, Tallies&... tallies) {
    if (count_ > 0 && sameText(key, key_)) {
      ++count_;
      return;
    }
    flush(tallies...);
    key_.assign(key);
    count_ = 1;
  }
  template <class... Tallies>
  void flush(Tallies&... tallies) {
    if (count_ == 0) return;
    (tallies.add(key_, count_), ...);
    count_ = 0;
  }

 private:
  std::string key_;
  std::uint64_t count_ = 0;
};

// Per application or machine.
struct PlaceFigures {
  Seen records;
  std::uint64_t damaged = 0;
  std::uint64_t files = 0;
  std::uint64_t folders = 0;
  std::string lastFolder;
  DistinctCount numbers;  // error numbers
  DistinctCount others;   // applications of a machine, machines of an application
  Tally versions{32};
  std::map<int, std::uint64_t> perDay;  // whole records
};

struct RecentRecord {
  Moment moment;
  std::string machine, app, file;  // UTF-8
  std::uint64_t line = 0;
  std::string module, procedure, description;  // ANSI bytes of the file's code page, kept to bounds
  const orv::text::CodePage* codePage = nullptr;
  std::uint8_t cutLines = 0;
};

// Records of one day of an error, for its drill-down.
struct DayRecords {
  int day = 0;
  std::vector<RecentRecord> records;  // the earliest first
};

struct ErrorFigures {
  static constexpr std::size_t kRecent = 3;
  // A day's records listed, and the days whose records are kept while the logs are read: a day
  // takes the place of the held day with the fewest records (the earliest among equals) once it
  // has as many, so the day with the most records is always among them at the end (what it had
  // before it was held is counted, not listed).
  static constexpr std::size_t kDayListed = 20;
  static constexpr std::size_t kDaysHeld = 4;
  // Enough for the machines of a site, and bounded: each name is kept to kTallyText bytes.
  static constexpr std::size_t kTallied = 64;
  static constexpr std::size_t kTallyText = 128;
  Seen records;
  MostFrequent descriptions;
  Tally places{kTallied};  // module and procedure
  Tally machines{kTallied}, apps{kTallied}, versions{kTallied};
  std::unordered_map<int, std::uint64_t> perDay;
  std::vector<RecentRecord> recent;  // the latest first
  std::vector<DayRecords> days;      // at most kDaysHeld
  // No held day has fewer records: their counts only grow, and a day takes a held one's place
  // only with as many, so the fewest found once stays a floor while the logs are read.
  std::uint64_t heldDaysFloor = 0;
  // While a file is read: its records of the error, for its machine and application tallies,
  // and the run of its versions.
  std::uint64_t fileRecords = 0;
  TallyRun versionRun;
};

// The day with the most records of the error, the latest among equals; null without records.
const DayRecords* busiestDay(const ErrorFigures& error);

struct DamagedRecord {
  std::string file;  // UTF-8
  std::uint64_t line = 0;
  std::string what;
};

struct ReportData {
  static constexpr std::size_t kErrorsCounted = 256;
  static constexpr std::size_t kPlacesCounted = 1024;
  static constexpr std::size_t kDamagedListed = 20;

  HeavyHitters<ErrorFigures> errors{kErrorsCounted};  // keyed by the number's four bytes
  HeavyHitters<PlaceFigures> apps{kPlacesCounted}, machines{kPlacesCounted};
  std::map<int, std::uint64_t> perDay;  // whole records of every application
  Seen records;
  std::uint64_t damaged = 0;
  std::uint64_t files = 0;
  std::uint64_t folders = 0;
  std::vector<DamagedRecord> damagedListed;  // the first ones
  static constexpr std::size_t kNotReadListed = 1000;
  std::uint64_t notRead = 0;               // files and folders under the roots not read
  std::vector<std::string> notReadListed;  // the first ones, as standard error tells them
};

// Gathers the report's figures from what a scan gives.
class ReportBuilder final : public LogConsumer {
 public:
  explicit ReportBuilder(ReportData& data) : data_(data) {}

  void beginFile(const LogFile& file) override;
  void record(const LogFile& file, const orv::log::ReadRecord& record) override;
  void damaged(const LogFile& file, const orv::log::ReadProblem& problem) override;
  void endFile(const LogFile& file) override;
  void notRead(std::string_view what) override;

 private:
  // What one file adds to its application's and its machine's figures, gathered while it is read
  // and added when it ends: the file's records all share both.
  struct FileFigures {
    // Past what a place counts, more numbers would change nothing it shows.
    static constexpr std::size_t kNumbersKept = DistinctCount::kBound + 1;
    Seen records;
    std::uint64_t damaged = 0;
    std::vector<std::int32_t> numbers;  // distinct, the first kNumbersKept
  };

  void addPlace(PlaceFigures& place, const LogFile& file, const std::string& other);
  void addError(const LogFile& file, const orv::log::ReadRecord& record, const Moment& moment);
  void flushRuns(const LogFile& file);

  ReportData& data_;
  FileFigures file_;
  PlaceFigures* app_ = nullptr;  // the file's, from beginFile to endFile
  PlaceFigures* machine_ = nullptr;
  std::string folder_;
  std::string text_;
  LastKeyText version_{GroupKeys::kTextKept}, tallyVersion_{ErrorFigures::kTallyText};
  TallyRun versionRun_;                // the file's versions, for its application and machine
  std::vector<ErrorFigures*> touched_;  // the errors the file's records added to
  int days_ = 0;
};

// Reads the logs.
ReportData gatherReport(const std::vector<Root>& roots, const Filters& filters, ScanCounts& counts,
                        const ScanSettings& settings);

std::int32_t numberOf(std::string_view key);

// Versions in their numeric order: 2.9.0 before 2.10.1.
bool versionLess(std::string_view a, std::string_view b);

}  // namespace orvacct::logs
