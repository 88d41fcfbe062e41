#include "logs/log_summary.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "logs/most_frequent.h"
#include "logs/text_hash.h"
#include "output_quoting.h"
#include "tool_output.h"

namespace orvacct::logs {
namespace {

struct Group {
  std::string key;  // UTF-8 for applications and days, ANSI bytes for modules and versions
  std::int32_t number = 0;
  Seen records;
  std::uint64_t damaged = 0;
  MostFrequent descriptions;
};

const char* fieldName(GroupBy by) {
  switch (by) {
    case GroupBy::App:
      return "app";
    case GroupBy::Number:
      return "number";
    case GroupBy::Module:
      return "module";
    case GroupBy::Version:
      return "version";
    case GroupBy::Day:
      return "day";
  }
  return "";
}

// Applications and days are the file's: their damaged records can be counted with them.
bool fileGroups(GroupBy by) { return by == GroupBy::App || by == GroupBy::Day; }

class Summary final : public LogConsumer {
 public:
  explicit Summary(GroupBy by) : by_(by) {}

  void beginFile(const LogFile& file) override {
    ++files_;
    fileGroup_ = nullptr;
    if (by_ == GroupBy::App) fileGroup_ = &group(file.app);
    if (by_ == GroupBy::Day) fileGroup_ = &group(dateText(file.days));
    days_ = file.days;
  }

  void record(const LogFile&, const orv::log::ReadRecord& record) override {
    ++records_;
    const Moment moment{days_, record.secondOfDay};
    if (fileGroup_ != nullptr) return fileGroup_->records.add(moment);
    if (by_ == GroupBy::Number) {
      Group& found = numbers_[record.number];
      found.number = record.number;
      found.records.add(moment);
      found.descriptions.add(record.description);
      return;
    }
    group(by_ == GroupBy::Module ? record.module : record.version).records.add(moment);
  }

  void damaged(const LogFile&) override {
    ++damaged_;
    if (fileGroup_ != nullptr) ++fileGroup_->damaged;
  }

  void endFile(const LogFile&) override {}

  std::string text(const SummaryOptions& options) const;

 private:
  Group& group(std::string_view key) {
    auto found = groups_.find(key);
    if (found == groups_.end()) {
      found = groups_.emplace(std::string(key), Group()).first;
      found->second.key = key;
    }
    return found->second;
  }

  std::vector<const Group*> rows(const SummaryOptions& options) const;

  GroupBy by_;
  std::unordered_map<std::string, Group, TextHash, std::equal_to<>> groups_;
  std::unordered_map<std::int32_t, Group> numbers_;
  Group* fileGroup_ = nullptr;
  int days_ = 0;
  std::uint64_t records_ = 0, damaged_ = 0, files_ = 0;
};

std::vector<const Group*> Summary::rows(const SummaryOptions& options) const {
  std::vector<const Group*> rows;
  rows.reserve(groups_.size() + numbers_.size());
  for (const auto& [key, group] : groups_) {
    // Not the groups of files whose records were all filtered out.
    if (group.records.count > 0 || group.damaged > 0) rows.push_back(&group);
  }
  for (const auto& [number, group] : numbers_) rows.push_back(&group);
  const auto keyLess = [this](const Group* a, const Group* b) {
    return by_ == GroupBy::Number ? a->number < b->number : a->key < b->key;
  };
  std::sort(rows.begin(), rows.end(), [&](const Group* a, const Group* b) {
    return a->records.count != b->records.count ? a->records.count > b->records.count : keyLess(a, b);
  });
  if (options.top && *options.top < rows.size()) rows.resize(*options.top);
  if (by_ == GroupBy::Day) std::sort(rows.begin(), rows.end(), keyLess);  // a day's series reads in order
  return rows;
}

// One summary row's fields, as text, in the order they are printed.
struct Field {
  enum Kind { Text, Number, Time };  // numbers are bare in JSON and right-aligned in a table
  const char* name;
  std::string text;
  Kind kind;
};

std::vector<Field> fieldsOf(const Group& group, GroupBy by) {
  std::vector<Field> fields;
  if (by == GroupBy::Number) {
    fields.push_back({"number", std::to_string(group.number), Field::Number});
  } else {
    fields.push_back({fieldName(by), fileGroups(by) ? group.key : utf8FromAnsi(group.key), Field::Text});
  }
  fields.push_back({"count", std::to_string(group.records.count), Field::Number});
  if (fileGroups(by)) fields.push_back({"damaged", std::to_string(group.damaged), Field::Number});
  // A group of damaged records alone was never seen whole: no first or last time.
  const Seen& seen = group.records;
  fields.push_back({"first", seen.count > 0 ? momentText(seen.first) : std::string(), Field::Time});
  fields.push_back({"last", seen.count > 0 ? momentText(seen.last) : std::string(), Field::Time});
  if (by == GroupBy::Number) fields.push_back({"description", utf8FromAnsi(group.descriptions.top()), Field::Text});
  return fields;
}

std::string oneLine(std::string_view text) {
  std::string line;
  for (const char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else {
      line += c == '\t' || c == '\r' ? ' ' : c;
    }
  }
  return line;
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
  for (const Group* group : this->rows(options)) rows.push_back(fieldsOf(*group, by_));
  const std::vector<Field> heading = fieldsOf(Group{}, by_);
  std::string out;
  switch (options.format) {
    case SummaryFormat::Table: {
      // One row a line: a description's line breaks are shown as \n, as JSON has them.
      for (auto& row : rows) {
        for (Field& field : row) field.text = oneLine(field.text);
      }
      out = table(rows, heading);
      out += std::to_string(records_) + " records, " + std::to_string(damaged_) + " damaged, in " +
             std::to_string(files_) + (files_ == 1 ? " file" : " files");
      if (options.top && rows.size() == *options.top) out += "; the " + std::to_string(rows.size()) + " largest groups";
      out += '\n';
      break;
    }
    case SummaryFormat::Jsonl:
      for (const auto& row : rows) {
        out += '{';
        for (const Field& field : row) {
          if (&field != &row.front()) out += ',';
          appendJsonString(out, field.name);
          out += ':';
          if (field.kind == Field::Number) {
            out += field.text;
          } else if (field.kind == Field::Time && field.text.empty()) {
            out += "null";
          } else {
            appendJsonString(out, field.text);
          }
        }
        out += "}\n";
      }
      break;
    case SummaryFormat::Csv:
      for (const Field& field : heading) {
        if (&field != &heading.front()) out += ',';
        out += field.name;
      }
      out += "\r\n";
      for (const auto& row : rows) {
        for (const Field& field : row) {
          if (&field != &row.front()) out += ',';
          appendCsvField(out, field.text);
        }
        out += "\r\n";
      }
      break;
  }
  return out;
}

}  // namespace

std::string summaryText(const std::vector<std::string>& paths, const Filters& filters, const SummaryOptions& options,
                        bool& allRead) {
  Summary summary(options.by);
  allRead = scanLogs(paths, filters, summary);
  return summary.text(options);
}

bool summarizeLogs(const std::vector<std::string>& paths, const Filters& filters, const SummaryOptions& options) {
  bool allRead = true;
  writeOutput(summaryText(paths, filters, options, allRead));
  return allRead;
}

}  // namespace orvacct::logs
