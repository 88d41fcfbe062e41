// The record's eight lines read back. A record is exported only when all eight came in order;
// whatever else is found is told to the sink once, at the record's first line, and reading
// goes on with the next line that can begin a record.
#include <array>
#include <charconv>

#include "log/record_lines.h"
#include "log/record_reader.h"

namespace orv::log {
namespace {

constexpr std::string_view kFirstLine = kRecordFirstLine;
constexpr int kDescription = 1, kNumber = 2, kDate = 6, kClosing = 7, kLines = 8;

// An editor may have taken the space after the colon off an empty value, so it is optional.
constexpr const std::array<std::string_view, 7>& kLabels = kRecordLabels;

constexpr int kOther = -1;

// Whether the line has the label of that index: each case compares with a label of known
// length, compiled inline (this runs for nearly every line).
bool hasLabel(std::string_view text, int index) {
  switch (index) {
    case 1:
      return text.starts_with(kLabels[1]);
    case 2:
      return text.starts_with(kLabels[2]);
    case 3:
      return text.starts_with(kLabels[3]);
    case 4:
      return text.starts_with(kLabels[4]);
    case 5:
      return text.starts_with(kLabels[5]);
    case 6:
      return text.starts_with(kLabels[6]);
    default:
      return false;
  }
}

// The index of a labelled or closing line, kOther for any other line.
int indexOf(std::string_view text) {
  if (text.empty()) return kClosing;
  for (int index = kDescription; index <= kDate; ++index) {
    if (text.starts_with(kLabels[static_cast<std::size_t>(index)])) return index;
  }
  return kOther;
}

std::string_view valueOf(std::string_view text, int index) {
  text.remove_prefix(kLabels[static_cast<std::size_t>(index)].size());
  if (text.starts_with(' ')) text.remove_prefix(1);
  return text;
}

// A first line glued to what a failed write left of the record before it.
bool endsWithFirstLine(std::string_view text) { return text.size() > kFirstLine.size() && text.ends_with(kFirstLine); }

std::optional<std::int32_t> signedDecimal(std::string_view text) {
  if (text.starts_with('+')) return std::nullopt;  // the writer puts nothing before positive numbers
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string describe(const ReadProblem& problem) {
  switch (problem.kind) {
    case Damage::CutShort:
      return problem.at == 0 ? std::string("record cut short by the end of the file")
                             : "record cut short: line " + std::to_string(problem.at) + " begins another";
    case Damage::MissingLine:
      return problem.missing == 1 ? std::string("record without its first line (41 plus signs)")
             : problem.missing == kLines
                 ? std::string("record without its closing empty line")
                 : "record without its \"" + std::string(kLabels[static_cast<std::size_t>(problem.missing - 1)]) +
                       "\" line";
    case Damage::BadNumber:
      return "record whose Error Number is not a 32-bit number";
    case Damage::UnexpectedLine:
      return "record with unexpected text at line " + std::to_string(problem.at);
    case Damage::StrayLines:
      return std::to_string(problem.count) + (problem.count == 1 ? " stray line" : " stray lines") + " between records";
    case Damage::NotText:
      return "binary data, not an error log";
  }
  return "damaged";
}

void RecordReader::line(std::string_view text) {
  ++lineNumber_;
  if (text.ends_with('\r')) text.remove_suffix(1);
  if (expected_ == 0) {
    outside(text);
  } else {
    inside(text);
  }
}

void RecordReader::finish(std::string_view tail) {
  if (!tail.empty()) {
    const std::string_view text = tail.ends_with('\r') ? tail.substr(0, tail.size() - 1) : tail;
    if (expected_ == 0 || text == kFirstLine || endsWithFirstLine(text)) {
      line(tail);
    } else {
      ++lineNumber_;  // a line the writer never finished: whatever it holds, its record was cut short
    }
  }
  if (expected_ != 0) cutShort(0);
  flushStrayLines();
}

void RecordReader::outside(std::string_view text) {
  if (text == kFirstLine) {
    flushStrayLines();
    begin(true);
  } else if (endsWithFirstLine(text)) {
    if (strayCount_++ == 0) strayFrom_ = lineNumber_;
    flushStrayLines();
    begin(true);
  } else if (text.starts_with(kLabels[kDescription])) {
    // A record whose first line was lost still holds its error.
    flushStrayLines();
    begin(false);
    inside(text);
  } else if (!text.empty()) {
    // Blank lines between records lose nothing and are passed over.
    if (strayCount_++ == 0) strayFrom_ = lineNumber_;
  }
}

void RecordReader::inside(std::string_view text) {
  // Nearly every line is the one expected: taken without trying the others.
  if (hasLabel(text, expected_) && !text.ends_with('+')) {
    take(expected_, valueOf(text, expected_));
    ++expected_;
    return;
  }
  if (expected_ == kClosing && text.empty()) {
    expected_ = kLines;
    end();
    return;
  }
  if (text == kFirstLine || endsWithFirstLine(text)) {
    cutShort(lineNumber_);
    begin(true);
    return;
  }
  const int index = indexOf(text);
  if (expected_ == kNumber && (index < kNumber || index == kClosing)) {
    // Everything up to the Error Number line belongs to the description.
    description_ += '\n';
    description_ += text;
    return;
  }
  if (index == kOther) {
    damage({.kind = Damage::UnexpectedLine, .line = record_.line, .at = lineNumber_});
    return;
  }
  if (index < expected_) {
    // An earlier line again: the record ended here, and another began without its first lines.
    cutShort(lineNumber_);
    begin(false);
    inside(text);
    return;
  }
  if (index > expected_) damage({.kind = Damage::MissingLine, .line = record_.line, .missing = expected_ + 1});
  take(index, index == kClosing ? text : valueOf(text, index));
  expected_ = index + 1;
  if (expected_ == kLines) end();
}

void RecordReader::begin(bool withFirstLine) {
  expected_ = kDescription;
  damage_.reset();
  record_ = ReadRecord{};
  record_.line = lineNumber_;
  if (!withFirstLine) damage({.kind = Damage::MissingLine, .line = lineNumber_, .missing = 1});
  description_.clear();
  module_.clear();
  procedure_.clear();
  version_.clear();
}

void RecordReader::take(int index, std::string_view value) {
  switch (index) {
    case kDescription:
      description_.assign(value);
      break;
    case kNumber:
      if (const auto number = signedDecimal(value)) {
        record_.number = *number;
      } else {
        damage({.kind = Damage::BadNumber, .line = record_.line});
      }
      break;
    case 3:
      module_.assign(value);
      break;
    case 4:
      procedure_.assign(value);
      break;
    case 5:
      version_.assign(value);
      break;
    case kDate:
      record_.secondOfDay = secondOfDay(value);
      break;
    default:
      break;
  }
}

void RecordReader::damage(ReadProblem problem) {
  if (!damage_) damage_ = problem;  // the first damage says what happened; the rest follows from it
}

void RecordReader::end() {
  expected_ = 0;
  if (damage_) {
    sink_.problem(*damage_);
    return;
  }
  record_.description = description_;
  record_.module = module_;
  record_.procedure = procedure_;
  record_.version = version_;
  sink_.record(record_);
}

void RecordReader::cutShort(std::uint64_t nextRecordLine) {
  damage({.kind = Damage::CutShort, .line = record_.line, .at = nextRecordLine});
  end();
}

void RecordReader::flushStrayLines() {
  if (strayCount_ == 0) return;
  sink_.problem({.kind = Damage::StrayLines, .line = strayFrom_, .count = strayCount_});
  strayCount_ = 0;
}

}  // namespace orv::log
