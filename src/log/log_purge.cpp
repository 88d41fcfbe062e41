#include "log/log_purge.h"

#include <chrono>

#include "log/error_record.h"
#include "log/log_files.h"
#include "text/lower_case.h"

namespace orv::log {
namespace {

bool equalIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (text::lowerCaseLetter(a[i]) != text::lowerCaseLetter(b[i])) return false;
  }
  return true;
}

std::optional<int> digits(std::u16string_view text) {
  int value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

std::chrono::sys_days toDays(int year, int month, int day) {
  return std::chrono::sys_days(std::chrono::year(year) / std::chrono::month(static_cast<unsigned>(month)) /
                               std::chrono::day(static_cast<unsigned>(day)));
}

}  // namespace

std::optional<CalendarDate> logFileDate(std::u16string_view fileName, std::u16string_view appName) {
  constexpr std::u16string_view extension = u".log";
  constexpr std::size_t dateLength = 8;
  if (fileName.size() != appName.size() + 1 + dateLength + extension.size()) return std::nullopt;
  if (!equalIgnoringCase(fileName.substr(0, appName.size()), appName)) return std::nullopt;
  if (fileName[appName.size()] != u'-') return std::nullopt;
  if (!equalIgnoringCase(fileName.substr(fileName.size() - extension.size()), extension)) return std::nullopt;

  const std::u16string_view date = fileName.substr(appName.size() + 1, dateLength);
  const auto month = digits(date.substr(0, 2));
  const auto day = digits(date.substr(2, 2));
  const auto year = digits(date.substr(4, 4));
  if (!month || !day || !year || *year < 100) return std::nullopt;
  const std::chrono::year_month_day calendar{std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)),
                                             std::chrono::day(static_cast<unsigned>(*day))};
  if (!calendar.ok()) return std::nullopt;
  return CalendarDate{*year, *month, *day};
}

long ageInDays(const CalendarDate& date, const LocalDateTime& today) {
  return static_cast<long>(
      (toDays(today.year, today.month, today.day) - toDays(date.year, date.month, date.day)).count());
}

PurgeResult purgeOldLogs(const std::u16string& appPath, const std::u16string& appName, const LocalDateTime& today) {
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
    if (!isReadOnly(path) && deleteFile(path)) {
      ++result.deleted;
    } else {
      ++result.refused;
    }
  }
  return result;
}

}  // namespace orv::log
