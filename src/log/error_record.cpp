#include "log/error_record.h"


#include "component/failure.h"
#include "log/log_files.h"
#include "text/ansi_codepage.h"

namespace orv::log {
namespace {

// Lower case as the component always did it: letters of the code page's repertoire.
std::u16string lowerCase(std::u16string text) {
  for (char16_t& c : text) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = static_cast<char16_t>(c + 32);
  }
  return text;
}

}  // namespace

std::u16string logFileName(const std::u16string& appName, const LocalDateTime& day) {
  std::u16string name = lowerCase(appName);
  const auto digits = [&name](int value, int count) {
    for (int unit = count == 4 ? 1000 : 10; unit > 0; unit /= 10) name += static_cast<char16_t>(u'0' + value / unit % 10);
  };
  name += u'-';
  digits(day.month, 2);
  digits(day.day, 2);
  digits(day.year, 4);
  name += u".log";
  return name;
}

std::u16string logFolder(const std::u16string& appPath) {
  return appPath + kPathSeparator + u"Logs" + kPathSeparator;
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
  const std::u16string folder = logFolder(appPath);
  const std::u16string file = folder + logFileName(appName, when);
  const std::string bytes = formatRecord(record, when);
  // The folder is there for all but the first record of an application: try the append
  // first and look at the folder only when it fails.
  if (appendWhole(file, bytes)) return;
  if (!folderExists(folder)) createFolder(folder);
  if (!appendWhole(file, bytes)) throw Failure(75, u"Path/File access error");
}

}  // namespace orv::log
