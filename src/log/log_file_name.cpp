// The daily log file's name, written and read back in one place: the writer forms it from the
// record's date, the purge and the reader read the date (and the reader the application) out of it.
#include <chrono>

#include "base/failure.h"

#include "log/error_log.h"
#include "log/log_file_name.h"
#include "log/log_files.h"
#include "text/lower_case.h"

namespace orv::log {
namespace {

constexpr std::u16string_view kExtension = u".log";
constexpr std::size_t kDateLength = 8;  // MMDDYYYY

bool equalIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && text::lowerCase(a) == text::lowerCase(b);
}

std::optional<int> digits(std::u16string_view text) {
  int value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

}  // namespace

bool isApplicationName(std::u16string_view appName) {
  if (appName == u"." || appName == u"..") return false;
  return appName.find_first_of(std::u16string_view(u"/\\\0", 3)) == std::u16string_view::npos;
}

void requireApplicationName(std::u16string_view appName) {
  if (!isApplicationName(appName)) throwBadFileName();
}

void appendLogFolder(std::u16string& out, std::u16string_view appPath) {
  out += appPath;
  out += kPathSeparator;
  out += u"Logs";
  out += kPathSeparator;
}

void appendLogFileName(std::u16string& out, std::u16string_view appName, const LocalDateTime& day) {
  text::appendLowerCase(out, appName);
  const auto digits = [&out](int value, int count) {
    for (int unit = count == 4 ? 1000 : 10; unit > 0; unit /= 10)
      out += static_cast<char16_t>(u'0' + value / unit % 10);
  };
  out += u'-';
  digits(day.month, 2);
  digits(day.day, 2);
  digits(day.year, 4);
  out += kExtension;
}

std::u16string logFolder(const std::u16string& appPath) {
  std::u16string folder;
  appendLogFolder(folder, appPath);
  return folder;
}

std::u16string logFileName(const std::u16string& appName, const LocalDateTime& day) {
  std::u16string name;
  appendLogFileName(name, appName, day);
  return name;
}

std::optional<LogFileNameParts> parseLogFileName(std::u16string_view fileName) {
  // The date is read from the end, so an application name may hold dashes of its own.
  if (fileName.size() < 1 + kDateLength + kExtension.size()) return std::nullopt;
  const std::size_t dash = fileName.size() - kExtension.size() - kDateLength - 1;
  if (fileName[dash] != u'-') return std::nullopt;
  if (!equalIgnoringCase(fileName.substr(fileName.size() - kExtension.size()), kExtension)) return std::nullopt;

  const std::u16string_view date = fileName.substr(dash + 1, kDateLength);
  const auto month = digits(date.substr(0, 2));
  const auto day = digits(date.substr(2, 2));
  const auto year = digits(date.substr(4, 4));
  if (!month || !day || !year || *year < 100) return std::nullopt;
  const std::chrono::year_month_day calendar{std::chrono::year(*year),
                                             std::chrono::month(static_cast<unsigned>(*month)),
                                             std::chrono::day(static_cast<unsigned>(*day))};
  if (!calendar.ok()) return std::nullopt;
  return LogFileNameParts{fileName.substr(0, dash), CalendarDate{*year, *month, *day}};
}

std::optional<CalendarDate> logFileDate(std::u16string_view fileName, std::u16string_view appName) {
  const std::optional<LogFileNameParts> parts = parseLogFileName(fileName);
  if (!parts || !equalIgnoringCase(parts->application, appName)) return std::nullopt;
  return parts->date;
}

}  // namespace orv::log
