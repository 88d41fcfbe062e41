// The eight-line record and its single append.
#include "base/failure.h"
#include "log/error_log.h"
#include "log/log_file_name.h"
#include "log/log_files.h"
#include "log/record_lines.h"
#include "text/ansi_codepage.h"

namespace orv::log {
namespace {

// A description line that every reader would take for the first line of another record: one
// that is exactly it gets a leading space, one that ends in it (what a failed write leaves
// before the next record) a trailing space, so that a description never forges a record.
void setApartFirstLines(std::string& bytes, std::size_t from) {
  if (bytes.find(kRecordFirstLine, from) == std::string::npos) return;
  for (std::size_t begin = from;;) {
    const std::size_t lineEnd = bytes.find('\n', begin);
    std::size_t end = lineEnd == std::string::npos ? bytes.size() : lineEnd;
    std::string_view text(bytes.data() + begin, end - begin);
    if (text.ends_with('\r')) text.remove_suffix(1);
    if (text == kRecordFirstLine) {
      bytes.insert(begin, 1, ' ');
      ++end;
    } else if (text.ends_with(kRecordFirstLine)) {
      bytes.insert(begin + text.size(), 1, ' ');
      ++end;
    }
    if (lineEnd == std::string::npos) return;
    begin = end + 1;
  }
}

}  // namespace

std::string formatRecord(const ErrorRecord& record, const LocalDateTime& when) {
  // Built straight into the ANSI bytes: this runs once per record, often.
  std::string bytes;
  bytes.reserve(200 + record.description.size() + record.module.size() + record.procedure.size());
  const auto label = [&bytes](RecordLine line) {
    bytes += labelOf(line);
    bytes += ' ';
  };
  const auto end = [&bytes](std::u16string_view value) {
    text::appendAnsi(bytes, value);
    bytes += "\r\n";
  };
  bytes += kRecordFirstLine;
  bytes += "\r\n";
  const std::size_t description = bytes.size();  // its first line begins with the label
  label(RecordLine::Description);
  text::appendAnsi(bytes, record.description);
  setApartFirstLines(bytes, description);
  bytes += "\r\n";
  label(RecordLine::Number);
  bytes += std::to_string(record.number);
  bytes += "\r\n";
  label(RecordLine::Module);
  end(record.module);
  label(RecordLine::Procedure);
  end(record.procedure);
  label(RecordLine::Version);
  text::appendAnsi(bytes, record.major);
  bytes += '.';
  text::appendAnsi(bytes, record.minor);
  bytes += '.';
  end(record.revision);
  label(RecordLine::Date);
  end(platform::generalDateText(when));
  bytes += "\r\n";  // the closing empty line
  return bytes;
}

void appendRecord(const std::u16string& appPath, const std::u16string& appName, const ErrorRecord& record,
                  const LocalDateTime& when) {
  requireApplicationName(appName);
  std::u16string file;
  file.reserve(appPath.size() + appName.size() + 24);
  appendLogFolder(file, appPath);
  const std::size_t folderLength = file.size();
  appendLogFileName(file, appName, when);
  const std::string bytes = formatRecord(record, when);
  // The folder is there for all but the first record of an application: try the append
  // first and look at the folder only when it fails.
  AppendOutcome outcome = appendWhole(file, bytes);
  if (outcome == AppendOutcome::NotOpened) {
    const std::u16string folder = file.substr(0, folderLength);
    if (!folderExists(folder)) createFolder(folder);
    outcome = appendWhole(file, bytes);
  }
  switch (outcome) {
    case AppendOutcome::Appended:
      return;
    case AppendOutcome::NotWritten:
      throwDiskFull();
    case AppendOutcome::NotOpened:
    case AppendOutcome::NotClosed:
      throwPathFileAccessError();
  }
}

}  // namespace orv::log
