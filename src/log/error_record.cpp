#include "log/error_record.h"

#include <cstdio>

#include "log/log_files.h"
#include "text/ansi_codepage.h"

namespace orv::log {
namespace {

std::u16string ascii(const char* text) {
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

// Lower case as the component always did it: letters of the code page's repertoire.
std::u16string lowerCase(std::u16string text) {
  for (char16_t& c : text) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = static_cast<char16_t>(c + 32);
  }
  return text;
}

}  // namespace

std::u16string logFileName(const std::u16string& appName, const LocalDateTime& day) {
  char date[32];
  std::snprintf(date, sizeof date, "-%02d%02d%04d.log", day.month % 100, day.day % 100, day.year % 10000);
  return lowerCase(appName) + ascii(date);
}

std::u16string logFolder(const std::u16string& appPath) {
  return appPath + kPathSeparator + u"Logs" + kPathSeparator;
}

std::string formatRecord(const ErrorRecord& record, const LocalDateTime& when) {
  const std::u16string crlf = u"\r\n";
  std::u16string text;
  text.reserve(256 + record.description.size() + record.procedure.size());
  text += u"+++++++++++++++++++++++++++++++++++++++++" + crlf;
  text += u"Error Description: " + record.description + crlf;
  text += u"Error Number: " + ascii(std::to_string(record.number).c_str()) + crlf;
  text += u"Module Name: " + record.module + crlf;
  text += u"Procedure Name: " + record.procedure + crlf;
  text += u"Version Number: " + record.major + u"." + record.minor + u"." + record.revision + crlf;
  text += u"Date: " + generalDateText(when) + crlf;
  text += crlf;
  return text::toAnsi(text);
}

void appendRecord(const std::u16string& appPath, const std::u16string& appName, const ErrorRecord& record,
                  const LocalDateTime& when) {
  const std::u16string folder = logFolder(appPath);
  if (!folderExists(folder)) createFolder(folder);
  appendWhole(folder + logFileName(appName, when), formatRecord(record, when));
}

}  // namespace orv::log
