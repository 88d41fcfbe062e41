#include <chrono>

#include "log/error_log.h"
#include "log/log_files.h"

namespace orv::log {

int dayNumber(const CalendarDate& date) {
  const std::chrono::sys_days days{std::chrono::year(date.year) /
                                   std::chrono::month(static_cast<unsigned>(date.month)) /
                                   std::chrono::day(static_cast<unsigned>(date.day))};
  return static_cast<int>(days.time_since_epoch().count());
}

long ageInDays(const CalendarDate& date, const LocalDateTime& today) {
  return dayNumber({today.year, today.month, today.day}) - dayNumber(date);
}

PurgeResult purgeOldLogs(const std::u16string& appPath, const std::u16string& appName, const LocalDateTime& today,
                         const PurgeObserver& observer, bool trial) {
  requireApplicationName(appName);
  PurgeResult result;
  const std::u16string folder = logFolder(appPath);
  if (!folderExists(folder)) return result;
  for (const std::u16string& name : fileNamesIn(folder)) {
    const std::optional<CalendarDate> date = logFileDate(name, appName);
    if (!date) continue;
    if (ageInDays(*date, today) <= kDaysKept) {
      ++result.kept;
      continue;
    }
    const std::u16string path = folder + name;
    const bool deleted = !isReadOnly(path) && (trial || deleteFile(path));
    ++(deleted ? result.deleted : result.refused);
    if (observer) observer(path, deleted ? PurgeVerdict::Deleted : PurgeVerdict::Refused);
  }
  return result;
}

}  // namespace orv::log
