#include <chrono>

#include "log/error_log.h"
#include "log/log_files.h"

namespace orv::log {
namespace {

std::chrono::sys_days toDays(int year, int month, int day) {
  return std::chrono::sys_days(std::chrono::year(year) / std::chrono::month(static_cast<unsigned>(month)) /
                               std::chrono::day(static_cast<unsigned>(day)));
}

}  // namespace

long ageInDays(const CalendarDate& date, const LocalDateTime& today) {
  return static_cast<long>(
      (toDays(today.year, today.month, today.day) - toDays(date.year, date.month, date.day)).count());
}

PurgeResult purgeOldLogs(const std::u16string& appPath, const std::u16string& appName, const LocalDateTime& today,
                         const PurgeObserver& observer, bool trial) {
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
