#include "log_reading/group_keys.h"

#include <algorithm>
#include <cstring>

#include "log_reading/log_text.h"
#include "log_reading/text_hash.h"

namespace orvacct::logs {
namespace {

using orv::log::RecordLine;

bool isFileKey(GroupBy key) {
  switch (key) {
    case GroupBy::App:
    case GroupBy::Machine:
    case GroupBy::Day:
    case GroupBy::Week:
    case GroupBy::Month:
      return true;
    default:
      return false;
  }
}

bool isNumeric(GroupBy key) { return key == GroupBy::Number || key == GroupBy::Day || key == GroupBy::Week || key == GroupBy::Month; }

void appendInt(std::string& out, std::int32_t value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  out.append(bytes, sizeof bytes);
}

void appendText(std::string& out, std::string_view text) {
  appendInt(out, static_cast<std::int32_t>(text.size()));
  out += text;
}

std::int32_t intAt(std::string_view key, std::size_t& at) {
  std::int32_t value = 0;
  std::memcpy(&value, key.data() + at, sizeof value);
  at += sizeof value;
  return value;
}

}  // namespace

const std::vector<std::string>& groupByNames() {
  static const std::vector<std::string> names = {"app",     "machine", "number", "module", "procedure",
                                                 "version", "day",     "week",   "month"};
  return names;
}

std::optional<GroupBy> groupByNamed(std::string_view name) {
  const auto& names = groupByNames();
  const auto found = std::find(names.begin(), names.end(), name);
  if (found == names.end()) return std::nullopt;
  return static_cast<GroupBy>(found - names.begin());
}

void appendKeyText(std::string& out, std::string_view ansi, bool cut, const orv::text::CodePage* codePage,
                   std::size_t kept) {
  const std::size_t start = out.size();
  appendUtf8FromAnsi(out, ansi.substr(0, kept), codePage);
  if (out.size() - start > kept) {
    out.resize(start + utf8Prefix(std::string_view(out).substr(start), kept).size());
    cut = true;
  }
  if (cut || ansi.size() > kept) out += "\xE2\x80\xA6";  // …
}

const std::string& LastKeyText::of(std::string_view ansi, bool cut, const orv::text::CodePage* codePage) {
  if (any_ && sameText(ansi, ansi_) && cut == cut_ && codePage == codePage_) return text_;
  any_ = true;
  ansi_.assign(ansi);
  cut_ = cut;
  codePage_ = codePage;
  text_.clear();
  appendKeyText(text_, ansi, cut, codePage, kept_);
  return text_;
}

GroupKeys::GroupKeys(std::vector<GroupBy> by) : by_(std::move(by)), fileParts_(by_.size()) {
  fileLevel_ = std::all_of(by_.begin(), by_.end(), isFileKey);
}

bool GroupKeys::has(GroupBy key) const { return std::find(by_.begin(), by_.end(), key) != by_.end(); }

bool GroupKeys::hasTime() const { return has(GroupBy::Day) || has(GroupBy::Week) || has(GroupBy::Month); }

void GroupKeys::beginFile(const LogFile& file) {
  fileKey_.clear();
  for (std::size_t i = 0; i < by_.size(); ++i) {
    std::string& part = fileParts_[i];
    part.clear();
    switch (by_[i]) {
      case GroupBy::App:
        appendText(part, file.app);
        break;
      case GroupBy::Machine:
        appendText(part, file.machine);
        break;
      case GroupBy::Day:
        appendInt(part, file.days);
        break;
      case GroupBy::Week:
        appendInt(part, weekStart(file.days));
        break;
      case GroupBy::Month:
        appendInt(part, monthStart(file.days));
        break;
      default:
        break;
    }
    fileKey_ += part;
  }
}

const std::string& GroupKeys::of(const LogFile& file, const orv::log::ReadRecord& record) {
  if (fileLevel_) return fileKey_;
  key_.clear();
  for (std::size_t i = 0; i < by_.size(); ++i) {
    const auto text = [&](std::string_view value, RecordLine line) {
      text_.clear();
      appendKeyText(text_, value, record.wasCut(line), file.codePage, kTextKept);
      appendText(key_, text_);
    };
    switch (by_[i]) {
      case GroupBy::Number:
        appendInt(key_, record.number);
        break;
      case GroupBy::Module:
        text(record.module, RecordLine::Module);
        break;
      case GroupBy::Procedure:
        text(record.procedure, RecordLine::Procedure);
        break;
      case GroupBy::Version:
        text(record.version, RecordLine::Version);
        break;
      default:
        key_ += fileParts_[i];
    }
  }
  return key_;
}

std::vector<KeyValue> GroupKeys::decode(std::string_view key) const {
  std::vector<KeyValue> values;
  std::size_t at = 0;
  for (const GroupBy by : by_) {
    KeyValue& value = values.emplace_back();
    if (!isNumeric(by)) {
      const auto size = static_cast<std::size_t>(intAt(key, at));
      value.text = key.substr(at, size);
      at += size;
      continue;
    }
    const std::int32_t number = intAt(key, at);
    value.text = by == GroupBy::Number ? std::to_string(number)
                 : by == GroupBy::Day  ? dateText(number)
                 : by == GroupBy::Week ? weekText(number)
                                       : monthText(number);
  }
  return values;
}

bool GroupKeys::less(std::string_view a, std::string_view b) const {
  std::size_t i = 0, j = 0;
  for (const GroupBy by : by_) {
    if (isNumeric(by)) {
      const std::int32_t x = intAt(a, i), y = intAt(b, j);
      if (x != y) return x < y;
      continue;
    }
    const auto x = static_cast<std::size_t>(intAt(a, i)), y = static_cast<std::size_t>(intAt(b, j));
    const std::string_view first = a.substr(i, x), second = b.substr(j, y);
    i += x;
    j += y;
    if (first != second) return first < second;
  }
  return false;
}

std::string GroupKeys::emptyKey() const {
  std::string key;
  for (const GroupBy by : by_) isNumeric(by) ? appendInt(key, 0) : appendText(key, {});
  return key;
}

}  // namespace orvacct::logs
