#include "log_reading/report_data.h"

#include <algorithm>
#include <cstring>

#include "log_reading/group_keys.h"
#include "log_reading/log_scan.h"

namespace orvacct::logs {
namespace {

using orv::log::RecordLine;

// What is kept of a recent record's texts: enough for any real description; a hostile one is cut.
constexpr std::size_t kRecentDescription = std::size_t{16} << 10;
constexpr std::size_t kRecentText = 1024;

std::string numberKey(std::int32_t number) {
  std::string key(sizeof number, '\0');
  std::memcpy(key.data(), &number, sizeof number);
  return key;
}

// What a record of a day's list keeps: enough to recognise it; its whole text is in the file
// named beside it.
constexpr std::size_t kDayDescription = 1024;
constexpr std::size_t kDayText = 256;

// A record's own texts kept to bounds, each marked as cut when it was.
void keepTexts(RecentRecord& kept, const orv::log::ReadRecord& record, std::size_t description, std::size_t text) {
  const auto keep = [&](std::string& into, std::string_view from, RecordLine line, std::size_t bound) {
    into.assign(from.substr(0, bound));
    if (from.size() > bound) kept.cutLines |= static_cast<std::uint8_t>(1u << orv::log::indexOf(line));
  };
  keep(kept.description, record.description, RecordLine::Description, description);
  keep(kept.module, record.module, RecordLine::Module, text);
  keep(kept.procedure, record.procedure, RecordLine::Procedure, text);
}

void describeRecord(RecentRecord& kept, const LogFile& file, const orv::log::ReadRecord& record, const Moment& moment,
                    std::size_t description, std::size_t text) {
  kept.moment = moment;
  kept.machine = file.machine;
  kept.app = file.app;
  kept.file = file.pathText;
  kept.line = record.line;
  kept.codePage = file.codePage;
  kept.cutLines = record.cutLines;
  keepTexts(kept, record, description, text);
}

// The latest few, the one read last first among equal times.
void keepIfRecent(ErrorFigures& error, const LogFile& file, const orv::log::ReadRecord& record, const Moment& moment) {
  auto& recent = error.recent;
  if (recent.size() == ErrorFigures::kRecent) {
    if (moment < recent.back().moment) return;
    recent.pop_back();
  }
  const auto at = std::find_if(recent.begin(), recent.end(), [&](const RecentRecord& r) { return !(moment < r.moment); });
  describeRecord(*recent.insert(at, RecentRecord{}), file, record, moment, kRecentDescription, kRecentText);
}

// The day's list, when the day is held or now takes the place of the held day with the fewest
// records; null otherwise. records: the day's records so far, this one among them.
DayRecords* heldDay(ErrorFigures& error, int day, std::uint64_t records) {
  auto& days = error.days;
  if (const auto held = std::find_if(days.begin(), days.end(), [day](const DayRecords& d) { return d.day == day; });
      held != days.end()) {
    return &*held;
  }
  if (days.size() < ErrorFigures::kDaysHeld) return &days.emplace_back(DayRecords{day, {}});
  // Most records of a day not held stop here, before the held days' counts are looked up.
  if (records < error.heldDaysFloor) return nullptr;
  const auto recordsOf = [&error](const DayRecords& d) { return error.perDay[d.day]; };
  // Among equals the earliest day goes, so which one does not hang on the order of the files.
  const auto fewest = std::min_element(days.begin(), days.end(), [&](const DayRecords& a, const DayRecords& b) {
    return recordsOf(a) != recordsOf(b) ? recordsOf(a) < recordsOf(b) : a.day < b.day;
  });
  error.heldDaysFloor = recordsOf(*fewest);
  if (records < error.heldDaysFloor) return nullptr;
  *fewest = DayRecords{day, {}};
  return &*fewest;
}

// The earliest of the day's records, the one read first first among equal times.
void keepIfEarly(ErrorFigures& error, const LogFile& file, const orv::log::ReadRecord& record, const Moment& moment,
                 std::uint64_t dayRecords) {
  DayRecords* day = heldDay(error, moment.days, dayRecords);
  if (day == nullptr) return;
  auto& records = day->records;
  if (records.size() == ErrorFigures::kDayListed) {
    if (!(moment < records.back().moment)) return;
    records.pop_back();
  }
  const auto at = std::find_if(records.begin(), records.end(), [&](const RecentRecord& r) { return moment < r.moment; });
  describeRecord(*records.insert(at, RecentRecord{}), file, record, moment, kDayDescription, kDayText);
}

}  // namespace

void ReportBuilder::beginFile(const LogFile& file) {
  ++data_.files;
  if (file.folder != folder_) {
    ++data_.folders;
    folder_ = file.folder;
  }
  days_ = file.days;
  file_ = FileFigures();
  // Held, not yet counted: the versions go straight to their bounded tallies.
  app_ = &data_.apps.add(file.app, 0).payload;
  machine_ = &data_.machines.add(file.machine, 0).payload;
}

void ReportBuilder::record(const LogFile& file, const orv::log::ReadRecord& record) {
  const Moment moment{days_, record.secondOfDay};
  data_.records.add(moment);
  file_.records.add(moment);
  if (file_.numbers.size() < FileFigures::kNumbersKept &&
      std::find(file_.numbers.begin(), file_.numbers.end(), record.number) == file_.numbers.end()) {
    file_.numbers.push_back(record.number);
  }
  versionRun_.add(version_.of(record.version, record.wasCut(RecordLine::Version), file.codePage), app_->versions,
                  machine_->versions);
  addError(file, record, moment);
}

void ReportBuilder::damaged(const LogFile& file, const orv::log::ReadProblem& problem) {
  ++data_.damaged;
  ++file_.damaged;
  if (data_.damagedListed.size() < ReportData::kDamagedListed) {
    data_.damagedListed.push_back({file.pathText, problem.line, orv::log::describe(problem)});
  }
}

void ReportBuilder::endFile(const LogFile& file) {
  flushRuns(file);
  if (file_.records.count > 0) data_.perDay[days_] += file_.records.count;
  addPlace(data_.apps.add(file.app, file_.records.count).payload, file, file.machine);
  addPlace(data_.machines.add(file.machine, file_.records.count).payload, file, file.app);
}

void ReportBuilder::notRead(std::string_view what) {
  ++data_.notRead;
  if (data_.notReadListed.size() < ReportData::kNotReadListed) data_.notReadListed.emplace_back(what);
}

void ReportBuilder::addPlace(PlaceFigures& place, const LogFile& file, const std::string& other) {
  place.records.merge(file_.records);
  if (file_.records.count > 0) place.perDay[days_] += file_.records.count;
  place.damaged += file_.damaged;
  ++place.files;
  if (place.lastFolder != file.folder) {
    ++place.folders;
    place.lastFolder = file.folder;
  }
  for (const std::int32_t number : file_.numbers) place.numbers.add(numberKey(number));
  place.others.add(other);
}

void ReportBuilder::addError(const LogFile& file, const orv::log::ReadRecord& record, const Moment& moment) {
  ErrorFigures& error = data_.errors.add(numberKey(record.number)).payload;
  error.records.add(moment);
  error.descriptions.add(record.description, file.codePage, record.wasCut(RecordLine::Description));
  constexpr std::size_t kept = ErrorFigures::kTallyText;
  text_.clear();
  appendKeyText(text_, record.module, record.wasCut(RecordLine::Module), file.codePage, kept);
  text_ += '\0';
  appendKeyText(text_, record.procedure, record.wasCut(RecordLine::Procedure), file.codePage, kept);
  error.places.add(text_);
  if (error.fileRecords++ == 0) touched_.push_back(&error);
  error.versionRun.add(tallyVersion_.of(record.version, record.wasCut(RecordLine::Version), file.codePage),
                       error.versions);
  const std::uint64_t dayRecords = ++error.perDay[days_];
  keepIfRecent(error, file, record, moment);
  keepIfEarly(error, file, record, moment, dayRecords);
}

void ReportBuilder::flushRuns(const LogFile& file) {
  versionRun_.flush(app_->versions, machine_->versions);
  constexpr std::size_t kept = ErrorFigures::kTallyText;
  // An entry taken over by another error since holds that error's runs, begun afresh.
  for (ErrorFigures* error : touched_) {
    if (error->fileRecords > 0) {
      error->machines.add(utf8Prefix(file.machine, kept), error->fileRecords);
      error->apps.add(utf8Prefix(file.app, kept), error->fileRecords);
      error->fileRecords = 0;
    }
    error->versionRun.flush(error->versions);
  }
  touched_.clear();
}

const DayRecords* busiestDay(const ErrorFigures& error) {
  const DayRecords* busiest = nullptr;
  std::uint64_t most = 0;
  for (const DayRecords& day : error.days) {
    const auto found = error.perDay.find(day.day);
    const std::uint64_t records = found == error.perDay.end() ? 0 : found->second;
    if (busiest == nullptr || records > most || (records == most && day.day > busiest->day)) {
      busiest = &day;
      most = records;
    }
  }
  return busiest;
}

ReportData gatherReport(const std::vector<Root>& roots, const Filters& filters, ScanCounts& counts,
                        const ScanSettings& settings) {
  ReportData data;
  ReportBuilder builder(data);
  counts = scanLogs(roots, filters, builder, settings);
  return data;
}

std::int32_t numberOf(std::string_view key) {
  std::int32_t number = 0;
  std::memcpy(&number, key.data(), std::min(key.size(), sizeof number));
  return number;
}

bool versionLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      const std::size_t iEnd = std::find_if_not(a.begin() + static_cast<std::ptrdiff_t>(i), a.end(), digit) - a.begin();
      const std::size_t jEnd = std::find_if_not(b.begin() + static_cast<std::ptrdiff_t>(j), b.end(), digit) - b.begin();
      std::string_view x = a.substr(i, iEnd - i), y = b.substr(j, jEnd - j);
      while (x.size() > 1 && x.front() == '0') x.remove_prefix(1);
      while (y.size() > 1 && y.front() == '0') y.remove_prefix(1);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      i = iEnd;
      j = jEnd;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

}  // namespace orvacct::logs
