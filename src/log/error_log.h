#pragma once
// The error log: eight-line records appended to an application's daily file in its Logs
// folder, and the purge of the daily files dated more than seven days before today.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/local_time.h"

namespace orv::log {

// Views of the caller's texts: a record lives only while it is written.
struct ErrorRecord {
  std::int32_t number = 0;
  std::u16string_view description;
  std::u16string_view module;
  std::u16string_view procedure;
  std::u16string_view major;
  std::u16string_view minor;
  std::u16string_view revision;
};

// The application folder exactly as given, then the separator, "Logs" and the separator.
std::u16string logFolder(const std::u16string& appPath);

// "name-MMDDYYYY.log", the name in lower case: a pure function of the record's time.
std::u16string logFileName(const std::u16string& appName, const LocalDateTime& day);

struct CalendarDate {
  int year;
  int month;
  int day;
};

struct LogFileNameParts {
  std::u16string_view application;  // as the name has it, before the dash of the date
  CalendarDate date;
};

// Whether the name can be the first part of a log file's name: one that holds a path separator
// (either, on every platform, as the component's callers write both) or a NUL, or is "." or
// "..", would reach outside the Logs folder or name something else.
bool isApplicationName(std::u16string_view appName);

// Throws Failure (bad file name) for a name that is not an application name.
void requireApplicationName(std::u16string_view appName);

// Any application's log file name, "application-MMDDYYYY.log" (extension in any case); nothing
// for other names or an impossible date.
std::optional<LogFileNameParts> parseLogFileName(std::u16string_view fileName);

// The date in a log file name of the application, "name-MMDDYYYY.log" (name and extension
// compared without regard to case); nothing for any other name or an impossible date.
std::optional<CalendarDate> logFileDate(std::u16string_view fileName, std::u16string_view appName);

// The record as ANSI bytes, lines ended by CR LF.
std::string formatRecord(const ErrorRecord& record, const LocalDateTime& when);

// Writes one record into appPath's log of the day with a single append, creating the Logs
// folder (one level) when missing; throws Failure when it cannot, or when appName is not an
// application name (then nothing is written).
void appendRecord(const std::u16string& appPath, const std::u16string& appName, const ErrorRecord& record,
                  const LocalDateTime& when);

inline constexpr long kDaysKept = 7;

// Days from 1970-01-01, so dates compare and subtract as numbers.
int dayNumber(const CalendarDate& date);

// Whole days from the date to today; negative for a date in the future.
long ageInDays(const CalendarDate& date, const LocalDateTime& today);

struct PurgeResult {
  int deleted = 0;  // or, in a trial, that would be deleted
  int kept = 0;     // the application's log files young enough to stay
  int refused = 0;  // old enough, but read-only or not deletable (in use, no permission)
};

enum class PurgeVerdict { Deleted, Refused };

// Told of every old file, with what became (or in a trial, would become) of it.
using PurgeObserver = std::function<void(const std::u16string& file, PurgeVerdict verdict)>;

// Examines the files of appPath's log folder (not its sub-folders); a missing folder does nothing.
// Throws Failure, deleting nothing, when appName is not an application name.
// A trial deletes nothing: it counts a read-only file as refused and any other as deleted.
PurgeResult purgeOldLogs(const std::u16string& appPath, const std::u16string& appName, const LocalDateTime& today,
                         const PurgeObserver& observer = {}, bool trial = false);

}  // namespace orv::log
