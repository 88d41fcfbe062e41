// libFuzzer target for what reads logs gathered from anywhere: arbitrary bytes as a log file
// (through the file reader and the record reader) and as a file name, and every way their text
// leaves the tool (JSON, CSV, HTML, a terminal, a whole report page). Beyond the sanitizers, it
// checks the promises: the reader's line numbers only grow and stay within the file, texts stay
// within their bound, every quoting gives back exactly what it was given, in a form its reader
// cannot mistake, and no markup in a log becomes an element of the report's page.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "log/error_log.h"
#include "log/record_reader.h"
#include "log_reading/log_text.h"
#include "log_reading/report.h"
#include "rows/output_quoting.h"
#include "platform/readable_file.h"
#include "text/utf.h"

namespace {

void check(bool promise) {
  if (!promise) std::abort();
}

// Reads a JSON string back: the text it stands for, or a failure.
bool readJson(std::string_view json, std::string& text) {
  if (json.size() < 2 || json.front() != '"' || json.back() != '"') return false;
  for (std::size_t i = 1; i + 1 < json.size(); ++i) {
    const auto c = static_cast<unsigned char>(json[i]);
    if (c < 0x20 || c == '"') return false;
    if (c != '\\') {
      text += static_cast<char>(c);
      continue;
    }
    if (++i + 1 >= json.size()) return false;
    switch (json[i]) {
      case '"':
      case '\\':
        text += json[i];
        break;
      case 'n':
        text += '\n';
        break;
      case 'r':
        text += '\r';
        break;
      case 't':
        text += '\t';
        break;
      case 'u': {
        if (i + 4 >= json.size() || json.substr(i + 1, 2) != "00") return false;
        text += static_cast<char>(std::stoi(std::string(json.substr(i + 3, 2)), nullptr, 16));
        i += 4;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

// Reads one CSV field back (RFC 4180), without the apostrophe that keeps a formula text.
bool readCsv(std::string_view csv, std::string& text) {
  if (!csv.starts_with('"')) {
    if (csv.find_first_of(",\"\r\n") != std::string_view::npos) return false;
    text = csv;
    return true;
  }
  if (csv.size() < 2 || !csv.ends_with('"')) return false;
  for (std::size_t i = 1; i + 1 < csv.size(); ++i) {
    if (csv[i] == '"') {
      if (csv[++i] != '"' || i + 1 >= csv.size()) return false;
    }
    text += csv[i];
  }
  return true;
}

void checkQuoting(std::string_view utf8) {
  std::string json, back;
  orvacct::appendJsonString(json, utf8);
  check(readJson(json, back) && back == utf8);

  std::string csv;
  back.clear();
  orvacct::appendCsvField(csv, utf8);
  check(readCsv(csv, back));
  const bool formula = !utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string_view::npos;
  check(back == utf8 || (formula && back == "'" + std::string(utf8)));
  if (formula && back == utf8) {
    // Kept as it is only when it is a plain number.
    check(utf8.find_first_not_of("-.0123456789") == std::string_view::npos);
  }

  std::string html;
  orvacct::logs::appendHtml(html, utf8);
  check(html.find_first_of("<>\"'") == std::string::npos);

  const std::string shown = orvacct::terminalSafe(utf8);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto c = static_cast<unsigned char>(shown[i]);
    check(c >= 0x20 && c != 0x7F);
    // No C1 control (U+0080 to U+009F) and no bidirectional override.
    check(!(c == 0xC2 && i + 1 < shown.size() && static_cast<unsigned char>(shown[i + 1]) < 0xA0));
    check(shown.compare(i, 3, "\xE2\x80\xAE") != 0 && shown.compare(i, 3, "\xE2\x81\xA6") != 0);
  }
}

// Checks what the reader gives against the file it read.
class CheckingSink final : public orv::log::RecordSink {
 public:
  explicit CheckingSink(std::uint64_t lines) : lines_(lines) {}

  void record(const orv::log::ReadRecord& record) override {
    check(record.line > last_ && record.line <= lines_);
    last_ = record.line;
    for (const std::string_view text : {record.description, record.module, record.procedure, record.version}) {
      check(text.size() <= orv::log::kTextKept);
    }
    check(record.secondOfDay >= -1 && record.secondOfDay < 86400);
    std::string utf8;
    orvacct::logs::appendRecordText(utf8, record.description, record.wasCut(orv::log::RecordLine::Description),
                                    nullptr);
    checkQuoting(utf8);
  }
  void problem(const orv::log::ReadProblem& problem) override {
    check(problem.line >= 1 && problem.line <= lines_);
    check(orv::log::describe(problem).size() > 0);
  }

 private:
  std::uint64_t lines_;
  std::uint64_t last_ = 0;
};

void readAsLog(const std::uint8_t* data, std::size_t size) {
  const int fd = memfd_create("log", 0);
  check(fd >= 0);
  check(size == 0 || ::write(fd, data, size) == static_cast<ssize_t>(size));
  ::lseek(fd, 0, SEEK_SET);
  orv::platform::ReadableFile file{orv::platform::UniqueFd(fd)};
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Lines as people count them: one more than the line ends, when something follows the last.
  const auto ends = static_cast<std::uint64_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  CheckingSink sink(ends + 1);
  static orv::log::LogFileReader reader;  // its buffer made once
  reader.read(file, sink);
}

// The elements of a page in order, as a browser's tokenizer opens them: a tag begins with `<`
// and a letter or `/`, its quoted attribute values are passed over, and the text of script and
// style is theirs alone.
std::vector<std::string> elementsOf(std::string_view page) {
  std::vector<std::string> elements;
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  std::size_t i = 0;
  while (i + 1 < page.size()) {
    if (page[i] != '<' || !(letter(page[i + 1]) || page[i + 1] == '/')) {
      ++i;
      continue;
    }
    std::size_t end = i + 1 + (page[i + 1] == '/' ? 1 : 0);
    while (end < page.size() && (letter(page[end]) || (page[end] >= '0' && page[end] <= '9'))) ++end;
    std::string name(page.substr(i + 1, end - i - 1));
    for (char quote = 0; end < page.size() && (quote != 0 || page[end] != '>'); ++end) {
      if (quote == 0 && (page[end] == '"' || page[end] == '\'')) {
        quote = page[end];
      } else if (page[end] == quote) {
        quote = 0;
      }
    }
    i = end;
    if (name == "script" || name == "style") i = std::min(page.size(), page.find("</" + name, i));
    elements.push_back(std::move(name));
  }
  return elements;
}

// The report page of the bytes read as one log file.
std::string reportOf(std::string_view bytes) {
  const int fd = memfd_create("log", 0);
  check(fd >= 0);
  check(bytes.empty() || ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
  ::lseek(fd, 0, SEEK_SET);
  orv::platform::ReadableFile file{orv::platform::UniqueFd(fd)};
  orvacct::logs::ReportData data;
  orvacct::logs::ReportBuilder builder(data);
  const orvacct::logs::LogFile log{"share/PC1/billing-03052002.log", "share/PC1", "billing", "PC1", 11751, nullptr};
  class Sink final : public orv::log::RecordSink {
   public:
    Sink(orvacct::logs::ReportBuilder& builder, const orvacct::logs::LogFile& log) : builder_(builder), log_(log) {}
    void record(const orv::log::ReadRecord& record) override { builder_.record(log_, record); }
    void problem(const orv::log::ReadProblem& problem) override {
      if (problem.losesRecord()) builder_.damaged(log_, problem);
      if (problem.kind == orv::log::Damage::NotText) builder_.notRead(log_.pathText + ": binary data");
    }

   private:
    orvacct::logs::ReportBuilder& builder_;
    const orvacct::logs::LogFile& log_;
  } sink(builder, log);
  builder.beginFile(log);
  static orv::log::LogFileReader reader;
  reader.read(file, sink);
  builder.endFile(log);
  return orvacct::logs::reportHtml(data, orvacct::logs::ReportScope{}, orvacct::logs::ScanCounts{});
}

// The page of the bytes has the elements of the page of the same bytes with each character
// that can make markup (< > & " ') replaced by a control byte the bytes do not hold (one byte
// in every code page, so no text changes its length): nothing the log says becomes an element.
void checkReport(std::string_view bytes) {
  static constexpr std::string_view kMarkup = "<>&\"'";
  std::string standIns;
  for (char c = 1; c < 0x20 && standIns.size() < kMarkup.size(); ++c) {
    if (c != '\t' && c != '\n' && c != '\r' && bytes.find(c) == std::string_view::npos) standIns += c;
  }
  if (standIns.size() < kMarkup.size()) return;
  std::string plain(bytes);
  for (char& c : plain) {
    if (const std::size_t at = kMarkup.find(c); at != std::string_view::npos) c = standIns[at];
  }
  check(elementsOf(reportOf(bytes)) == elementsOf(reportOf(plain)));
}

void readAsName(std::string_view bytes) {
  const std::u16string name = orv::text::fromUtf8(bytes);
  const auto parts = orv::log::parseLogFileName(name);
  if (!parts) return;
  check(!parts->application.empty() || name.starts_with(u"-"));
  const int days = orv::log::dayNumber(parts->date);
  const std::string date = orvacct::logs::dateText(days);
  check(date.size() == 10 && orvacct::logs::weekText(days).size() == 8 && orvacct::logs::monthText(days).size() == 7);
  checkQuoting(orv::text::toUtf8(parts->application));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte chooses: a file name; a log file's bytes (read, and made into a report page);
  // or those bytes with the one in their middle repeated into a line longer than the reader's
  // buffer.
  if (size == 0) return 0;
  switch (data[0] % 4) {
    case 0:
      readAsName({reinterpret_cast<const char*>(data + 1), size - 1});
      break;
    case 3: {
      if (size < 3) break;
      const std::size_t middle = 2 + (size - 2) / 2;
      std::basic_string<std::uint8_t> bytes(data + 2, data + middle);
      bytes.append((std::size_t{data[1]} % 24 + 1) << 16, data[middle]);
      bytes.append(data + middle, data + size);
      readAsLog(bytes.data(), bytes.size());
      break;
    }
    case 1:
      // A page is slower to make than a reading: one input in four makes one.
      readAsLog(data + 1, size - 1);
      checkReport({reinterpret_cast<const char*>(data + 1), size - 1});
      break;
    default:
      readAsLog(data + 1, size - 1);
  }
  return 0;
}
