#pragma once
// Deleting an application's daily log files dated more than seven days before today.
#include <optional>
#include <string>

#include "platform/local_time.h"

namespace orv::log {

struct CalendarDate {
  int year;
  int month;
  int day;
};

// The date in a log file name of the application, "name-MMDDYYYY.log" (name and extension
// compared without regard to case); nothing for any other name or an impossible date.
std::optional<CalendarDate> logFileDate(std::u16string_view fileName, std::u16string_view appName);

// Whole days from the date to today; negative for a date in the future.
long ageInDays(const CalendarDate& date, const LocalDateTime& today);

struct PurgeResult {
  int deleted = 0;
  int kept = 0;      // the application's log files young enough to stay
  int refused = 0;   // old enough, but read-only or not deletable
};

// Examines the files of appPath's log folder (not its sub-folders); a missing folder does nothing.
PurgeResult purgeOldLogs(const std::u16string& appPath, const std::u16string& appName, const LocalDateTime& today);

inline constexpr long kDaysKept = 7;

}  // namespace orv::log
