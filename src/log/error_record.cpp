#include "log/error_record.h"

#include "component/failure.h"
#include "log/log_files.h"
#include "text/lower_case.h"
#include "text/ansi_codepage.h"

namespace orv::log {
namespace {

void appendLogFileName(std::u16string& out, std::u16string_view appName, const LocalDateTime& day) {
  for (const char16_t c : appName) out += text::lowerCaseLetter(c);
  const auto digits = [&out](int value, int count) {
    for (int unit = count == 4 ? 1000 : 10; unit > 0; unit /= 10) out += static_cast<char16_t>(u'0' + value / unit % 10);
  };
  out += u'-';
  digits(day.month, 2);
  digits(day.day, 2);
  digits(day.year, 4);
  out += u".log";
}

void appendLogFolder(std::u16string& out, std::u16string_view appPath) {
  out += appPath;
  out += kPathSeparator;
  out += u"Logs";
  out += kPathSeparator;
}

}  // namespace

std::u16string logFileName(const std::u16string& appName, const LocalDateTime& day) {
  std::u16string name;
  appendLogFileName(name, appName, day);
  return name;
}

std::u16string logFolder(const std::u16string& appPath) {
  std::u16string folder;
  appendLogFolder(folder, appPath);
  return folder;
}

std::string formatRecord(const ErrorRecord& record, const LocalDateTime& when) {
  // Built straight into the ANSI bytes: this runs once per record, often.
  std::string bytes;
  bytes.reserve(200 + record.description.size() + record.module.size() + record.procedure.size());
  const auto line = [&bytes](const char* label, std::u16string_view value) {
    bytes += label;
    text::appendAnsi(bytes, value);
    bytes += "\r\n";
  };
  bytes += "+++++++++++++++++++++++++++++++++++++++++\r\n";
  line("Error Description: ", record.description);
  bytes += "Error Number: ";
  bytes += std::to_string(record.number);
  bytes += "\r\n";
  line("Module Name: ", record.module);
  line("Procedure Name: ", record.procedure);
  bytes += "Version Number: ";
  text::appendAnsi(bytes, record.major);
  bytes += '.';
  text::appendAnsi(bytes, record.minor);
  bytes += '.';
  line("", record.revision);
  line("Date: ", generalDateText(when));
  bytes += "\r\n";
  return bytes;
}

void appendRecord(const std::u16string& appPath, const std::u16string& appName, const ErrorRecord& record,
                  const LocalDateTime& when) {
  std::u16string file;
  file.reserve(appPath.size() + appName.size() + 24);
  appendLogFolder(file, appPath);
  const std::size_t folderLength = file.size();
  appendLogFileName(file, appName, when);
  const std::string bytes = formatRecord(record, when);
  // The folder is there for all but the first record of an application: try the append
  // first and look at the folder only when it fails.
  if (appendWhole(file, bytes)) return;
  const std::u16string folder = file.substr(0, folderLength);
  if (!folderExists(folder)) createFolder(folder);
  if (!appendWhole(file, bytes)) throw Failure(75, u"Path/File access error");
}

}  // namespace orv::log
