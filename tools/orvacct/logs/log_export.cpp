#include "logs/log_export.h"

#include <algorithm>

#include "logs/log_text.h"
#include "row_writer.h"

namespace orvacct::logs {
namespace {

using orv::log::RecordLine;

class Exporter final : public LogConsumer {
 public:
  explicit Exporter(ExportFormat format)
      : out_(format == ExportFormat::Csv ? RowFormat::Csv : RowFormat::Jsonl, exportFields()) {}

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

}  // namespace

const std::vector<std::string>& exportFields() {
  // New fields come last: columns people already read by position stay in place.
  static const std::vector<std::string> fields = {"app",     "file",      "line",    "time",    "number", "description",
                                                  "module",  "procedure", "version", "machine", "timestamp"};
  return fields;
}

ScanCounts exportRecords(const std::vector<Root>& roots, const Filters& filters, ExportFormat format,
                         unsigned threads) {
  Exporter exporter(format);
  const ScanCounts counts = scanLogs(roots, filters, exporter, threads);
  exporter.flush();
  return counts;
}

}  // namespace orvacct::logs
