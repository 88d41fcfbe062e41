#include "logs/log_summary.h"

#include <algorithm>
#include <cstring>

#include "logs/group_keys.h"
#include "logs/heavy_hitters.h"
#include "logs/log_text.h"
#include "logs/most_frequent.h"
#include "output_quoting.h"
#include "row_writer.h"
#include "tool_output.h"

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

  std::string text(const SummaryOptions& options) const;

 private:
  struct Row {
    const Groups::Entry* entry;
    std::vector<KeyValue> keys;
  };
  std::vector<Row> rows(const SummaryOptions& options) const;

  GroupKeys keys_;
  Groups groups_;
  int days_ = 0;
  std::uint64_t records_ = 0, damaged_ = 0, files_ = 0;
};

std::vector<Summary::Row> Summary::rows(const SummaryOptions& options) const {
  std::vector<Row> rows;
  for (const auto& entry : groups_.entries()) rows.push_back({&entry, keys_.decode(entry.key)});
  const auto keyLess = [this](const Row& a, const Row& b) { return keys_.less(a.keys, b.keys); };
  std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    return a.entry->count != b.entry->count ? a.entry->count > b.entry->count : keyLess(a, b);
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

std::vector<Field> fieldsOf(const GroupKeys& keys, const Groups::Entry& entry, const std::vector<KeyValue>& values) {
  std::vector<Field> fields;
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

std::string table(const std::vector<std::vector<Field>>& rows, const std::vector<Field>& heading) {
  std::vector<std::size_t> widths;
  for (const Field& field : heading) widths.push_back(displayWidth(field.name));
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], displayWidth(row[i].text));
  }
  std::string out;
  const auto line = [&](const std::vector<std::string_view>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const std::string padding(widths[i] - displayWidth(cells[i]), ' ');
      const bool last = i + 1 == cells.size();
      const bool right = heading[i].kind == Field::Number;
      if (right) out += padding;
      out += cells[i];
      if (!right && !last) out += padding;
      if (!last) out += "  ";
    }
    out += '\n';
  };
  std::vector<std::string_view> cells;
  for (const Field& field : heading) cells.push_back(field.name);
  line(cells);
  for (const auto& row : rows) {
    cells.clear();
    for (const Field& field : row) cells.push_back(field.text);
    line(cells);
  }
  return out;
}

std::string Summary::text(const SummaryOptions& options) const {
  std::vector<std::vector<Field>> rows;
  std::uint64_t overcount = 0;
  for (const Row& row : this->rows(options)) {
    rows.push_back(fieldsOf(keys_, *row.entry, row.keys));
    overcount = std::max(overcount, row.entry->overcount);
  }
  const Groups::Entry none{keys_.emptyKey(), 0, 0, {}};
  const std::vector<Field> heading = fieldsOf(keys_, none, keys_.decode(none.key));
  std::string estimate;
  if (groups_.estimated()) {
    estimate = "more groups than could be counted exactly: each count shown may be up to " +
               std::to_string(overcount) + " too high";
  }
  std::string out;
  if (options.format == SummaryFormat::Table) {
    // One row a line, and nothing from the logs that a terminal would act on.
    for (auto& row : rows) {
      for (Field& field : row) field.text = terminalSafe(field.text);
    }
    out = table(rows, heading);
    out += std::to_string(records_) + " records, " + std::to_string(damaged_) + " damaged, in " +
           std::to_string(files_) + (files_ == 1 ? " file" : " files");
    if (options.top && rows.size() == *options.top) out += "; the " + std::to_string(rows.size()) + " largest groups";
    if (!estimate.empty()) out += "; " + estimate;
    out += '\n';
    return out;
  }
  if (!estimate.empty()) reportProblem(estimate);
  std::vector<std::string> columns;
  for (const Field& field : heading) columns.push_back(field.name);
  RowWriter writer(options.format == SummaryFormat::Csv ? RowFormat::Csv : RowFormat::Jsonl, columns, &out);
  for (const auto& row : rows) {
    for (const Field& field : row) {
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
  return out;
}

}  // namespace

std::string summaryText(const std::vector<Root>& roots, const Filters& filters, const SummaryOptions& options,
                        ScanCounts& counts) {
  Summary summary(options);
  counts = scanLogs(roots, filters, summary, options.threads);
  return summary.text(options);
}

ScanCounts summarizeLogs(const std::vector<Root>& roots, const Filters& filters, const SummaryOptions& options) {
  ScanCounts counts;
  writeOutput(summaryText(roots, filters, options, counts));
  return counts;
}

}  // namespace orvacct::logs
