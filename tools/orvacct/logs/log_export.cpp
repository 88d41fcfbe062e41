#include "logs/log_export.h"

#include <charconv>

#include "tool_output.h"

namespace orvacct::logs {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

void appendNumber(std::string& out, long long value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end);
}

class Exporter final : public LogConsumer {
 public:
  explicit Exporter(ExportFormat format) : format_(format) {
    if (format_ == ExportFormat::Csv) out_ = "app,file,line,time,number,description,module,procedure,version\r\n";
  }

  void beginFile(const LogFile& file) override {
    // What every record of the file shares, quoted once.
    app_.clear();
    path_.clear();
    if (format_ == ExportFormat::Jsonl) {
      appendJsonString(app_, file.app);
      appendJsonString(path_, file.pathText);
    } else {
      appendCsvField(app_, file.app);
      appendCsvField(path_, file.pathText);
    }
    days_ = file.days;
  }

  void record(const LogFile&, const orv::log::ReadRecord& record) override {
    format_ == ExportFormat::Jsonl ? json(record) : csv(record);
    if (out_.size() >= kFlushAt) flush();
  }

  void damaged(const LogFile&) override {}
  void endFile(const LogFile&) override {}

  void flush() {
    writeOutput(out_);
    out_.clear();
  }

 private:
  void json(const orv::log::ReadRecord& record) {
    out_ += "{\"app\":";
    out_ += app_;
    out_ += ",\"file\":";
    out_ += path_;
    out_ += ",\"line\":";
    appendNumber(out_, static_cast<long long>(record.line));
    out_ += ",\"time\":\"";
    appendMoment(out_, {days_, record.secondOfDay});
    out_ += "\",\"number\":";
    appendNumber(out_, record.number);
    for (const auto& [name, value] : {std::pair{",\"description\":", record.description},
                                      {",\"module\":", record.module},
                                      {",\"procedure\":", record.procedure},
                                      {",\"version\":", record.version}}) {
      out_ += name;
      text_.clear();
      appendUtf8FromAnsi(text_, value);
      appendJsonString(out_, text_);
    }
    out_ += "}\n";
  }

  void csv(const orv::log::ReadRecord& record) {
    out_ += app_;
    out_ += ',';
    out_ += path_;
    out_ += ',';
    appendNumber(out_, static_cast<long long>(record.line));
    out_ += ',';
    appendMoment(out_, {days_, record.secondOfDay});
    out_ += ',';
    appendNumber(out_, record.number);
    for (const std::string_view value : {record.description, record.module, record.procedure, record.version}) {
      out_ += ',';
      text_.clear();
      appendUtf8FromAnsi(text_, value);
      appendCsvField(out_, text_);
    }
    out_ += "\r\n";
  }

  ExportFormat format_;
  std::string out_, app_, path_, text_;
  int days_ = 0;
};

}  // namespace

bool exportRecords(const std::vector<std::string>& paths, const Filters& filters, ExportFormat format) {
  Exporter exporter(format);
  const bool allRead = scanLogs(paths, filters, exporter);
  exporter.flush();
  return allRead;
}

}  // namespace orvacct::logs
