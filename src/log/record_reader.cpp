// The record's eight lines read back. A record is exported only when all eight came in order;
// whatever else is found is told to the sink once, at the record's first line, and reading
// goes on with the next line that can begin a record.
#include <bit>
#include <charconv>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "log/record_reader.h"

namespace orv::log {
namespace {

constexpr std::string_view kFirstLine = kRecordFirstLine;

constexpr RecordLine next(RecordLine line) { return static_cast<RecordLine>(indexOf(line) + 1); }

// Whether the line has the label of a labelled line: each case compares with a label of known
// length, compiled inline (this runs for nearly every line).
bool hasLabel(std::string_view text, RecordLine line) {
  switch (line) {
    case RecordLine::Description:
      return text.starts_with(labelOf(RecordLine::Description));
    case RecordLine::Number:
      return text.starts_with(labelOf(RecordLine::Number));
    case RecordLine::Module:
      return text.starts_with(labelOf(RecordLine::Module));
    case RecordLine::Procedure:
      return text.starts_with(labelOf(RecordLine::Procedure));
    case RecordLine::Version:
      return text.starts_with(labelOf(RecordLine::Version));
    case RecordLine::Date:
      return text.starts_with(labelOf(RecordLine::Date));
    case RecordLine::First:
    case RecordLine::Closing:
      return false;
  }
  return false;
}

// The labelled or closing line the text is, or nothing for any other line.
std::optional<RecordLine> lineOf(std::string_view text) {
  if (text.empty()) return RecordLine::Closing;
  for (RecordLine line = RecordLine::Description; line != RecordLine::Closing; line = next(line)) {
    if (text.starts_with(labelOf(line))) return line;
  }
  return std::nullopt;
}

// An editor may have taken the space after the colon off an empty value, so it is optional.
std::string_view valueOf(std::string_view text, RecordLine line) {
  text.remove_prefix(labelOf(line).size());
  if (text.starts_with(' ')) text.remove_prefix(1);
  return text;
}

// A first line glued to what a failed write left of the record before it. One space before it
// is how the writers set apart such a line inside a description.
bool endsWithFirstLine(std::string_view text) {
  const bool setApart = text.size() == kFirstLine.size() + 1 && text.front() == ' ';
  return text.size() > kFirstLine.size() && text.ends_with(kFirstLine) && !setApart;
}

// Where the first lines of text end (their LFs); false when it holds fewer. A record's lines
// are short: sixteen bytes are compared at a time where the processor can, as a call to memchr
// for each line costs more than the search.
template <std::size_t N>
bool findLineEnds(std::string_view text, std::array<std::size_t, N>& ends) {
  std::size_t found = 0, at = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  for (; at + 16 <= text.size(); at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    auto lineFeeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed)));
    for (; lineFeeds != 0; lineFeeds &= lineFeeds - 1) {
      ends[found++] = at + static_cast<std::size_t>(std::countr_zero(lineFeeds));
      if (found == N) return true;
    }
  }
#endif
  for (; found < N; at = ends[found++] + 1) {
    const void* end = std::memchr(text.data() + at, '\n', text.size() - at);
    if (end == nullptr) return false;
    ends[found] = static_cast<std::size_t>(static_cast<const char*>(end) - text.data());
  }
  return true;
}

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
      if (problem.missing == RecordLine::First) return "record without its first line (41 plus signs)";
      if (problem.missing == RecordLine::Closing) return "record without its closing empty line";
      return "record without its \"" + std::string(labelOf(problem.missing)) + "\" line";
    case Damage::BadNumber:
      return "record whose Error Number is not a 32-bit number";
    case Damage::UnexpectedLine:
      return "record with unexpected text at line " + std::to_string(problem.at);
    case Damage::StrayLines:
      return std::to_string(problem.count) + (problem.count == 1 ? " stray line" : " stray lines") + " between records";
    case Damage::NotText:
      return "not an error log: nothing in it is a record";
  }
  return "damaged";
}

void RecordReader::line(std::string_view text, LineCut cut) {
  keepLentText();
  ++lineNumber_;
  if (!cut.cut && text.ends_with('\r')) text.remove_suffix(1);
  const bool glued = cut.cut ? cut.endsWithFirstLine : endsWithFirstLine(text);
  if (collecting_) {
    hold(text, glued, cut.cut);
  } else {
    dispatch(text, glued, cut.cut);
  }
}

void RecordReader::dispatch(std::string_view text, bool gluedFirstLine, bool cut) {
  if (holding_) {
    held(text, gluedFirstLine, cut);
  } else if (expected_ == RecordLine::First) {
    outside(text, gluedFirstLine, cut);
  } else {
    inside(text, gluedFirstLine, cut);
  }
}

void RecordReader::hold(std::string_view text, bool gluedFirstLine, bool cut) {
  // Past these bounds (a damaged or hostile file) the lines are read as they come.
  constexpr std::size_t kHeldBytes = 2 * kTextKept;
  constexpr std::size_t kHeldLines = 4096;
  if (text == kFirstLine || gluedFirstLine || heldText_.size() + text.size() > kHeldBytes ||
      heldLines_.size() == kHeldLines) {
    readHeld(0);
    dispatch(text, gluedFirstLine, cut);
    return;
  }
  heldText_.append(text);
  heldLines_.push_back({heldText_.size(), cut});
  if (cut || !text.empty() || !heldEndsWithTail()) return;
  // The record's closing line after its fixed lines: whatever came between its description's
  // label and them is the description's text, labels or not.
  const std::size_t tailAt = heldLines_.size() - 6;
  const bool whole = tailAt > 0 && hasLabel(heldLine(0), RecordLine::Description) &&
                     signedDecimal(valueOf(heldLine(tailAt), RecordLine::Number)).has_value();
  readHeld(whole ? heldFrom_ + tailAt : 0);
}

std::string_view RecordReader::heldLine(std::size_t index) const {
  const std::size_t begin = index == 0 ? 0 : heldLines_[index - 1].end;
  return std::string_view(heldText_).substr(begin, heldLines_[index].end - begin);
}

bool RecordReader::heldEndsWithTail() const {
  if (heldLines_.size() < 6) return false;
  const std::size_t tailAt = heldLines_.size() - 6;
  for (std::size_t i = 0; i < 5; ++i) {
    const auto line = static_cast<RecordLine>(indexOf(RecordLine::Number) + i);
    if (heldLines_[tailAt + i].cut || !hasLabel(heldLine(tailAt + i), line)) return false;
  }
  return true;
}

void RecordReader::readHeld(std::uint64_t descriptionUntil) {
  collecting_ = false;
  const std::uint64_t now = lineNumber_;
  descriptionUntil_ = descriptionUntil;
  lineNumber_ = heldFrom_ - 1;
  for (std::size_t i = 0; i < heldLines_.size(); ++i) {
    ++lineNumber_;
    dispatch(heldLine(i), false, heldLines_[i].cut);
  }
  descriptionUntil_ = 0;
  heldText_.clear();
  heldLines_.clear();
  lineNumber_ = now;
}

void RecordReader::finish(std::string_view tail, LineCut cut) {
  keepLentText();
  if (collecting_) readHeld(0);  // a record without its closing line
  if (!tail.empty()) {
    const std::string_view text = !cut.cut && tail.ends_with('\r') ? tail.substr(0, tail.size() - 1) : tail;
    const bool glued = cut.cut ? cut.endsWithFirstLine : endsWithFirstLine(text);
    if (expected_ == RecordLine::First || (!cut.cut && text == kFirstLine) || glued) {
      line(tail, cut);
    } else {
      ++lineNumber_;  // a line the writer never finished: whatever it holds, its record was cut short
    }
  }
  if (expected_ != RecordLine::First) cutShort(0);
  if (holding_) release();
  // Whether a file is a log is decided by its records, whatever bytes (a NUL from a client's
  // string) its text holds.
  if (!anyRecord_ && strayCount_ > 0) {
    sink_.problem({.kind = Damage::NotText, .line = 1});
    strayCount_ = 0;
  }
  flushStrayLines();
}

std::size_t RecordReader::wholeRecord(std::string_view text) {
  if (!text.starts_with(kFirstLine)) return 0;
  std::array<std::size_t, 8> ends;
  if (!findLineEnds(text, ends)) return 0;
  // The lines as views made when asked: an array of them would be cleared first, every record.
  const auto lines = [&](std::size_t i) {
    const std::size_t from = i == 0 ? 0 : ends[i - 1] + 1;
    std::string_view line = text.substr(from, ends[i] - from);
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
  };
  const std::size_t at = ends[7] + 1;
  if (lines(0) != kFirstLine || !lines(7).empty()) return 0;
  for (std::size_t i = 1; i < 7; ++i) {
    const std::string_view line = lines(i);
    if (!hasLabel(line, static_cast<RecordLine>(i)) || endsWithFirstLine(line) || line.size() > kTextKept) return 0;
  }
  // The first line ends the record held, as line() would end it, and begins this one.
  if (lent_) {
    release();
    ++lineNumber_;
    flushStrayLines();
    begin(true);
  } else {
    line(lines(0));
  }
  collecting_ = false;  // its lines are known whole: none needs holding
  // The steps of inside() for lines that are each the one expected; their texts stay where they
  // are, none cut, until the record is released or the bytes are about to change.
  for (std::size_t i = 1; i < 7; ++i) {
    const auto kind = static_cast<RecordLine>(i);
    ++lineNumber_;
    if (kind >= RecordLine::Number) lentTail_[i - indexOf(RecordLine::Number)] = lines(i);
    if (kind == RecordLine::Number || kind == RecordLine::Date) {
      take(kind, valueOf(lines(i), kind), false);
    } else {
      lentText_[i - 1 - (kind > RecordLine::Number ? 1 : 0)] = valueOf(lines(i), kind);
    }
  }
  ++lineNumber_;
  expected_ = RecordLine::Closing;
  lent_ = true;
  end();
  if (!holding_) lent_ = false;  // a damaged record is told and gone
  return at;
}

void RecordReader::keepLentText() {
  if (!lent_) return;
  lent_ = false;
  for (std::size_t i = 0; i < tail_.size(); ++i) tail_[i].assign(lentTail_[i]);
  description_.assign(lentText_[0]);
  module_.assign(lentText_[1]);
  procedure_.assign(lentText_[2]);
  version_.assign(lentText_[3]);
}

void RecordReader::outside(std::string_view text, bool gluedFirstLine, bool cut) {
  if (text == kFirstLine) {
    flushStrayLines();
    begin(true);
  } else if (gluedFirstLine) {
    if (strayCount_++ == 0) strayFrom_ = lineNumber_;
    flushStrayLines();
    begin(true);
  } else if (hasLabel(text, RecordLine::Description)) {
    // A record whose first line was lost still holds its error.
    flushStrayLines();
    begin(false);
    inside(text, false, cut);
  } else if (!text.empty()) {
    // Blank lines between records lose nothing and are passed over.
    if (strayCount_++ == 0) strayFrom_ = lineNumber_;
  }
}

void RecordReader::inside(std::string_view text, bool gluedFirstLine, bool cut) {
  if (expected_ == RecordLine::Number && lineNumber_ < descriptionUntil_) {
    if (description_.size() < kTextKept) description_ += '\n';
    keep(description_, RecordLine::Description, text, cut);
    return;
  }
  // Nearly every line is the one expected: taken without trying the others.
  if (hasLabel(text, expected_) && !gluedFirstLine) {
    if (expected_ >= RecordLine::Number) tail_[indexOf(expected_) - indexOf(RecordLine::Number)].assign(text);
    take(expected_, valueOf(text, expected_), cut);
    expected_ = next(expected_);
    return;
  }
  if (expected_ == RecordLine::Closing && text.empty()) {
    end();
    return;
  }
  if (text == kFirstLine || gluedFirstLine) {
    cutShort(lineNumber_);
    begin(true);
    return;
  }
  const std::optional<RecordLine> found = lineOf(text);
  if (expected_ == RecordLine::Number && (!found || found == RecordLine::Description || found == RecordLine::Closing)) {
    // Everything up to the Error Number line belongs to the description.
    if (description_.size() < kTextKept) description_ += '\n';
    keep(description_, RecordLine::Description, text, cut);
    return;
  }
  if (!found) {
    damage({.kind = Damage::UnexpectedLine, .line = record_.line, .at = lineNumber_});
    return;
  }
  if (*found < expected_) {
    // An earlier line again: the record ended here, and another began without its first lines.
    cutShort(lineNumber_);
    begin(false);
    inside(text, false, cut);
    return;
  }
  if (*found > expected_) damage({.kind = Damage::MissingLine, .line = record_.line, .missing = expected_});
  if (*found == RecordLine::Closing) {
    end();
    return;
  }
  take(*found, valueOf(text, *found), cut);
  expected_ = next(*found);
}

void RecordReader::begin(bool withFirstLine) {
  anyRecord_ = true;
  withFirstLine_ = withFirstLine;
  expected_ = RecordLine::Description;
  damage_.reset();
  record_ = ReadRecord{};
  record_.line = lineNumber_;
  if (withFirstLine) {
    collecting_ = true;
    heldFrom_ = lineNumber_ + 1;
  }
  if (!withFirstLine) damage({.kind = Damage::MissingLine, .line = lineNumber_, .missing = RecordLine::First});
  description_.clear();
  module_.clear();
  procedure_.clear();
  version_.clear();
}

void RecordReader::keep(std::string& kept, RecordLine line, std::string_view value, bool cut) {
  const std::size_t room = kTextKept - std::min(kept.size(), kTextKept);
  if (cut || value.size() > room) record_.cutLines |= static_cast<std::uint8_t>(1u << indexOf(line));
  kept.append(value.substr(0, room));
}

void RecordReader::take(RecordLine line, std::string_view value, bool cut) {
  switch (line) {
    case RecordLine::Description:
      description_.clear();
      keep(description_, line, value, cut);
      break;
    case RecordLine::Number:
      if (const auto number = signedDecimal(value); number && !cut) {
        record_.number = *number;
      } else {
        damage({.kind = Damage::BadNumber, .line = record_.line});
      }
      break;
    case RecordLine::Module:
      module_.clear();
      keep(module_, line, value, cut);
      break;
    case RecordLine::Procedure:
      procedure_.clear();
      keep(procedure_, line, value, cut);
      break;
    case RecordLine::Version:
      version_.clear();
      keep(version_, line, value, cut);
      break;
    case RecordLine::Date:
      record_.secondOfDay = secondOfDay(value.substr(0, 256), codePage_);
      break;
    case RecordLine::First:
    case RecordLine::Closing:
      break;
  }
}

void RecordReader::damage(ReadProblem problem) {
  if (!damage_) damage_ = problem;  // the first damage says what happened; the rest follows from it
}

void RecordReader::end() {
  expected_ = RecordLine::First;
  if (damage_) {
    sink_.problem(*damage_);
    return;
  }
  if (withFirstLine_) {
    holding_ = true;
    return;
  }
  release();
}

void RecordReader::held(std::string_view text, bool gluedFirstLine, bool cut) {
  if (text == kFirstLine || gluedFirstLine) {
    release();
    outside(text, gluedFirstLine, cut);
    return;
  }
  if (candidateLines_ > 0) {
    if (!cut && continuesCandidate(text)) return;
    dropCandidate();
  }
  if (!cut && hasLabel(text, RecordLine::Number) && signedDecimal(valueOf(text, RecordLine::Number))) {
    candidate_[0].assign(text);
    candidateLines_ = 1;
    candidateFrom_ = lineNumber_;
    return;
  }
  addAfter(text, lineNumber_);
}

bool RecordReader::continuesCandidate(std::string_view text) {
  if (candidateLines_ == candidate_.size()) {
    if (!text.empty()) return false;
    supersede();
    return true;
  }
  if (!hasLabel(text, static_cast<RecordLine>(indexOf(RecordLine::Number) + candidateLines_))) return false;
  candidate_[candidateLines_++].assign(text);
  return true;
}

void RecordReader::dropCandidate() {
  for (std::size_t i = 0; i < candidateLines_; ++i) addAfter(candidate_[i], candidateFrom_ + i);
  candidateLines_ = 0;
}

void RecordReader::addAfter(std::string_view text, std::uint64_t line) {
  // Blank lines after a record lose nothing; they still belong to a description that goes on.
  if (!text.empty() && strayCount_++ == 0) strayFrom_ = line;
  if (after_.size() + 1 + text.size() > kTextKept) afterCut_ = true;
  if (after_.size() < kTextKept) {
    after_ += '\n';
    after_.append(text.substr(0, kTextKept - after_.size()));
  }
}

void RecordReader::supersede() {
  // The tail held and the lines after it were the description's own text.
  for (const std::string& line : tail_) {
    if (description_.size() < kTextKept) description_ += '\n';
    keep(description_, RecordLine::Description, line, false);
  }
  if (description_.size() < kTextKept) description_ += '\n';  // the closing line
  keep(description_, RecordLine::Description, after_, afterCut_);
  after_.clear();
  afterCut_ = false;
  strayCount_ = 0;
  candidateLines_ = 0;
  tail_.swap(candidate_);
  record_.cutLines &= static_cast<std::uint8_t>(1u << indexOf(RecordLine::Description));
  for (std::size_t i = 0; i < tail_.size(); ++i) {
    const auto line = static_cast<RecordLine>(indexOf(RecordLine::Number) + i);
    take(line, valueOf(tail_[i], line), false);
  }
}

void RecordReader::release() {
  if (candidateLines_ > 0) dropCandidate();
  holding_ = false;
  after_.clear();
  afterCut_ = false;
  if (lent_) {
    lent_ = false;
    record_.description = lentText_[0];
    record_.module = lentText_[1];
    record_.procedure = lentText_[2];
    record_.version = lentText_[3];
  } else {
    record_.description = description_;
    record_.module = module_;
    record_.procedure = procedure_;
    record_.version = version_;
  }
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
