#include "log_reading/log_export.h"

#include <algorithm>
#include <deque>

#include "log_reading/log_scan.h"
#include "log_reading/log_text.h"
#include "rows/row_writer.h"

namespace orvacct::logs {
namespace {

using orv::log::RecordLine;

class Exporter final : public LogConsumer {
 public:
  Exporter(ExportFormat format, const RowWriter::Sink& output)
      : out_(format == ExportFormat::Csv ? RowFormat::Csv : RowFormat::Jsonl, exportFields(), output) {}

  void beginFile(const LogFile& file) override {
    // What every record of the file shares, quoted once.
    app_ = out_.quoted(file.app);
    path_ = out_.quoted(file.pathText);
    machine_ = out_.quoted(file.machine);
    days_ = file.days;
  }

  void record(const LogFile& file, const orv::log::ReadRecord& record) override {
    out_.quotedText(app_);
    out_.quotedText(path_);
    out_.number(static_cast<std::int64_t>(record.line));
    text_.clear();
    appendMoment(text_, {days_, record.secondOfDay});
    out_.text(text_);
    out_.number(record.number);
    const auto field = [&](std::string_view value, RecordLine line) {
      text_.clear();
      appendRecordText(text_, value, record.wasCut(line), file.codePage);
      out_.text(text_);
    };
    field(record.description, RecordLine::Description);
    field(record.module, RecordLine::Module);
    field(record.procedure, RecordLine::Procedure);
    field(record.version, RecordLine::Version);
    out_.quotedText(machine_);
    // For tools that need a time of day on every record (lnav): the start of the day when the
    // Date line could not be read, as an unknown time comes first in its day.
    text_.clear();
    appendMoment(text_, {days_, std::max(record.secondOfDay, 0)});
    out_.text(text_);
    out_.endRow();
  }

  void damaged(const LogFile&, const orv::log::ReadProblem&) override {}
  void endFile(const LogFile&) override {}

  void flush() { out_.flush(); }

 private:
  RowWriter out_;
  std::string app_, path_, machine_, text_;
  int days_ = 0;
};

// A day's records held until the files of a later day begin (files come in the order of their
// dates), then handed on in the order of their time of day; records of one moment keep the order
// they were read in, and an unknown time of day comes first.
class DayInTimeOrder final : public LogConsumer {
 public:
  explicit DayInTimeOrder(LogConsumer& next) : next_(next) {}

  void beginFile(const LogFile& file) override {
    if (!files_.empty() && file.days != files_.back().days) handOn();
    files_.push_back(file);
  }

  void record(const LogFile&, const orv::log::ReadRecord& record) override {
    records_.push_back({files_.size() - 1, record.line, record.number, record.secondOfDay, record.cutLines,
                        std::string(record.description), std::string(record.module),
                        std::string(record.procedure), std::string(record.version)});
  }

  void damaged(const LogFile&, const orv::log::ReadProblem&) override {}
  void endFile(const LogFile&) override {}

  void finish() { handOn(); }

 private:
  struct Held {
    std::size_t file;
    std::uint64_t line;
    std::int32_t number, secondOfDay;
    std::uint8_t cutLines;
    std::string description, module, procedure, version;
  };

  void handOn() {
    std::stable_sort(records_.begin(), records_.end(),
                     [](const Held& a, const Held& b) { return a.secondOfDay < b.secondOfDay; });
    const LogFile* begun = nullptr;
    for (const Held& held : records_) {
      const LogFile& file = files_[held.file];
      if (begun != &file) {
        if (begun != nullptr) next_.endFile(*begun);
        next_.beginFile(file);
        begun = &file;
      }
      next_.record(file, {held.line, held.number, held.description, held.module, held.procedure, held.version,
                          held.secondOfDay, held.cutLines});
    }
    if (begun != nullptr) next_.endFile(*begun);
    records_.clear();
    files_.clear();
  }

  LogConsumer& next_;
  std::deque<LogFile> files_;  // the day's, in the order they were read
  std::vector<Held> records_;
};

}  // namespace

const std::vector<std::string>& exportFields() {
  // New fields come last: columns people already read by position stay in place.
  static const std::vector<std::string> fields = {"app",     "file",      "line",    "time",    "number", "description",
                                                  "module",  "procedure", "version", "machine", "timestamp"};
  return fields;
}

ScanCounts exportRecords(const std::vector<Root>& roots, const Filters& filters, ExportFormat format,
                         ExportOrder order, const ScanSettings& settings, const RowWriter::Sink& output) {
  Exporter exporter(format, output);
  if (order == ExportOrder::Time) {
    DayInTimeOrder inOrder(exporter);
    const ScanCounts counts = scanLogsByDay(roots, filters, inOrder, settings);
    inOrder.finish();
    exporter.flush();
    return counts;
  }
  const ScanCounts counts = scanLogs(roots, filters, exporter, settings);
  exporter.flush();
  return counts;
}

}  // namespace orvacct::logs
