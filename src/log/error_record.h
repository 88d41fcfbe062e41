#pragma once
// The daily log file's name and the eight-line error record.
#include <cstdint>
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

// "name-MMDDYYYY.log", the name in lower case.
std::u16string logFileName(const std::u16string& appName, const LocalDateTime& day);

// The application folder exactly as given, then the separator, "Logs" and the separator.
std::u16string logFolder(const std::u16string& appPath);

// The record as ANSI bytes, lines ended by CR LF.
std::string formatRecord(const ErrorRecord& record, const LocalDateTime& when);

// Writes one record into appPath's log of the day; throws Failure when it cannot.
void appendRecord(const std::u16string& appPath, const std::u16string& appName, const ErrorRecord& record,
                  const LocalDateTime& when);

}  // namespace orv::log
