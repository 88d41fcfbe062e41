#include "logs/log_export.h"

#include <charconv>

#include "output_quoting.h"
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
    write(record);
    if (out_.size() >= kFlushAt) flush();
  }

  void damaged(const LogFile&) override {}
  void endFile(const LogFile&) override {}

  void flush() {
    writeOutput(out_);
    out_.clear();
  }

 private:
  // The fields in their order: named in JSON, separated by commas in CSV.
  void write(const orv::log::ReadRecord& record) {
    const bool json = format_ == ExportFormat::Jsonl;
    bool first = true;
    const auto field = [&](const char* name) {
      if (json) {
        out_ += first ? "{\"" : ",\"";
        out_ += name;
        out_ += "\":";
      } else if (!first) {
        out_ += ',';
      }
      first = false;
    };
    field("app");
    out_ += app_;
    field("file");
    out_ += path_;
    field("line");
    appendNumber(out_, static_cast<long long>(record.line));
    field("time");
    if (json) out_ += '"';
    appendMoment(out_, {days_, record.secondOfDay});
    if (json) out_ += '"';
    field("number");
    appendNumber(out_, record.number);
    for (const auto& [name, value] : {std::pair{"description", record.description},
                                      {"module", record.module},
                                      {"procedure", record.procedure},
                                      {"version", record.version}}) {
      field(name);
      text_.clear();
      appendUtf8FromAnsi(text_, value);
      json ? appendJsonString(out_, text_) : appendCsvField(out_, text_);
    }
    out_ += json ? "}\n" : "\r\n";
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
