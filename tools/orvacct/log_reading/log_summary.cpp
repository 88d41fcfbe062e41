#include "log_reading/log_summary.h"

#include <algorithm>
#include <cstring>

#include "log_reading/group_keys.h"
#include "log_reading/heavy_hitters.h"
#include "log_reading/log_scan.h"
#include "log_reading/log_text.h"
#include "log_reading/most_frequent.h"
#include "rows/output_quoting.h"
#include "rows/row_writer.h"

namespace orvacct::logs {
namespace {

// How many groups are counted to find the N largest: enough that the largest are exact in any
// real logs, few enough that memory does not grow with the number of groups read.
std::size_t capacityFor(const SummaryOptions& options) {
  if (!options.top) return 0;
  return std::max<std::size_t>(4096, 16 * *options.top);
}

struct GroupFigures {
  Seen records;
  std::uint64_t damaged = 0;
  MostFrequent descriptions;
};
using Groups = HeavyHitters<GroupFigures>;

class Summary final : public LogConsumer {
 public:
  explicit Summary(const SummaryOptions& options) : keys_(options.by), groups_(capacityFor(options)) {}

  void beginFile(const LogFile& file) override {
    ++files_;
    keys_.beginFile(file);
    days_ = file.days;
  }

  void record(const LogFile& file, const orv::log::ReadRecord& record) override {
    ++records_;
    GroupFigures& group = groups_.add(keys_.of(file, record)).payload;
    group.records.add({days_, record.secondOfDay});
    if (keys_.has(GroupBy::Number)) {
      group.descriptions.add(record.description, file.codePage, record.wasCut(orv::log::RecordLine::Description));
    }
  }

  void damaged(const LogFile&, const orv::log::ReadProblem&) override {
    ++damaged_;
    // Only a file's own keys are known of a damaged record.
    if (keys_.fileLevel()) ++groups_.add(keys_.ofFile(), 0).payload.damaged;
  }

  void endFile(const LogFile&) override {}

  // Writes the summary to standard output, or appends it to *into when given.
  void write(const SummaryOptions& options, const RowWriter::Sink& sink, ProblemSink& problems) const;

 private:
  std::vector<const Groups::Entry*> rows(const SummaryOptions& options) const;

  GroupKeys keys_;
  Groups groups_;
  int days_ = 0;
  std::uint64_t records_ = 0, damaged_ = 0, files_ = 0;
};

std::vector<const Groups::Entry*> Summary::rows(const SummaryOptions& options) const {
  std::vector<const Groups::Entry*> rows;
  rows.reserve(groups_.entries().size());
  for (const auto& entry : groups_.entries()) rows.push_back(&entry);
  const auto keyLess = [this](const Groups::Entry* a, const Groups::Entry* b) { return keys_.less(a->key, b->key); };
  std::sort(rows.begin(), rows.end(), [&](const Groups::Entry* a, const Groups::Entry* b) {
    return a->count != b->count ? a->count > b->count : keyLess(a, b);
  });
  if (options.top && *options.top < rows.size()) rows.resize(*options.top);
  // A series over time reads in order.
  if (keys_.hasTime()) std::sort(rows.begin(), rows.end(), keyLess);
  return rows;
}

// One summary row's fields, as text, in the order they are printed.
struct Field {
  enum Kind { Text, Number, Time };  // numbers are bare in JSON and right-aligned in a table
  std::string name;
  std::string text;
  Kind kind;
};

std::vector<Field> fieldsOf(const GroupKeys& keys, const Groups::Entry& entry) {
  std::vector<Field> fields;
  const std::vector<KeyValue> values = keys.decode(entry.key);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const bool number = keys.by()[i] == GroupBy::Number;
    fields.push_back({groupByNames()[static_cast<std::size_t>(keys.by()[i])], values[i].text,
                      number ? Field::Number : Field::Text});
  }
  const GroupFigures& group = entry.payload;
  fields.push_back({"count", std::to_string(entry.count), Field::Number});
  if (keys.fileLevel()) fields.push_back({"damaged", std::to_string(group.damaged), Field::Number});
  // A group of damaged records alone was never seen whole: no first or last time.
  const Seen& seen = group.records;
  fields.push_back({"first", seen.count > 0 ? momentText(seen.first) : std::string(), Field::Time});
  fields.push_back({"last", seen.count > 0 ? momentText(seen.last) : std::string(), Field::Time});
  if (keys.has(GroupBy::Number)) {
    std::string description;
    const MostFrequent::Text& top = group.descriptions.top();
    appendRecordText(description, top.bytes, top.cut, top.codePage);
    fields.push_back({"description", description, Field::Text});
  }
  return fields;
}

std::size_t displayWidth(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Columns as wide as their widest cell; every cell made safe for a terminal, one row a line.
void writeTable(const GroupKeys& keys, const std::vector<const Groups::Entry*>& rows, RowWriter& out) {
  const Groups::Entry none{keys.emptyKey(), 0, 0, {}};
  const std::vector<Field> heading = fieldsOf(keys, none);
  std::vector<std::size_t> widths;
  for (const Field& field : heading) widths.push_back(displayWidth(field.name));
  const auto cellsOf = [&](const Groups::Entry* entry) {
    std::vector<Field> fields = fieldsOf(keys, *entry);
    for (Field& field : fields) field.text = terminalSafe(field.text);
    return fields;
  };
  for (const Groups::Entry* entry : rows) {
    const std::vector<Field> fields = cellsOf(entry);
    for (std::size_t i = 0; i < fields.size(); ++i) widths[i] = std::max(widths[i], displayWidth(fields[i].text));
  }
  std::string text;
  const auto line = [&](const std::vector<std::string_view>& cells) {
    text.clear();
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const std::size_t padding = widths[i] - displayWidth(cells[i]);
      const bool last = i + 1 == cells.size();
      const bool right = heading[i].kind == Field::Number;
      if (right) text.append(padding, ' ');
      text += cells[i];
      if (!right && !last) text.append(padding, ' ');
      if (!last) text += "  ";
    }
    text += '\n';
    out.row(text);
  };
  std::vector<std::string_view> cells;
  for (const Field& field : heading) cells.push_back(field.name);
  line(cells);
  for (const Groups::Entry* entry : rows) {
    const std::vector<Field> fields = cellsOf(entry);
    cells.clear();
    for (const Field& field : fields) cells.push_back(field.text);
    line(cells);
  }
}

void Summary::write(const SummaryOptions& options, const RowWriter::Sink& sink, ProblemSink& problems) const {
  const std::vector<const Groups::Entry*> rows = this->rows(options);
  std::uint64_t overcount = 0;
  for (const Groups::Entry* entry : rows) overcount = std::max(overcount, entry->overcount);
  std::string estimate;
  if (groups_.estimated()) {
    estimate = "more groups than could be counted exactly: each count shown may be up to " +
               std::to_string(overcount) + " too high";
  }
  // In large pieces, to the caller's output or into a string, so a summary of a million groups is
  // never held whole.
  if (options.format == SummaryFormat::Table) {
    RowWriter out(RowFormat::Lines, {""}, sink);
    writeTable(keys_, rows, out);
    std::string text = std::to_string(records_) + " records, " + std::to_string(damaged_) + " damaged, in " +
                       std::to_string(files_) + (files_ == 1 ? " file" : " files");
    if (options.top && rows.size() == *options.top) text += "; the " + std::to_string(rows.size()) + " largest groups";
    if (!estimate.empty()) text += "; " + estimate;
    text += '\n';
    out.row(text);
    out.flush();
    return;
  }
  if (!estimate.empty()) problems.problem(estimate);
  const Groups::Entry none{keys_.emptyKey(), 0, 0, {}};
  std::vector<std::string> columns;
  for (const Field& field : fieldsOf(keys_, none)) columns.push_back(field.name);
  RowWriter writer(options.format == SummaryFormat::Csv ? RowFormat::Csv : RowFormat::Jsonl, columns, sink);
  for (const Groups::Entry* entry : rows) {
    for (const Field& field : fieldsOf(keys_, *entry)) {
      if (field.kind == Field::Number) {
        writer.number(std::stoll(field.text));
      } else if (field.kind == Field::Time && field.text.empty()) {
        writer.null();
      } else {
        writer.text(field.text);
      }
    }
    writer.endRow();
  }
  writer.flush();
}

}  // namespace

std::string summaryText(const std::vector<Root>& roots, const Filters& filters, const SummaryOptions& options,
                        const ScanSettings& settings, ScanCounts& counts) {
  std::string text;
  counts = summarizeLogs(roots, filters, options, settings, [&text](std::string_view rows) { text += rows; });
  return text;
}

ScanCounts summarizeLogs(const std::vector<Root>& roots, const Filters& filters, const SummaryOptions& options,
                         const ScanSettings& settings, const RowWriter::Sink& output) {
  Summary summary(options);
  const ScanCounts counts = scanLogs(roots, filters, summary, settings);
  summary.write(options, output, settings.problems);
  return counts;
}

}  // namespace orvacct::logs
