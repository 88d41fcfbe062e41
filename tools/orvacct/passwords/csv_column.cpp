#include "passwords/csv_column.h"

#include <algorithm>

#include "base/secure_wipe.h"
#include "rows/output_quoting.h"
#include "text/ansi_codepage.h"
#include "text/utf.h"
#include "output/tool_output.h"

namespace orvacct {
namespace csv_column {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kNone = std::string_view::npos;
// What a header cell's message shows of it, and how many cells it names.
constexpr std::size_t kShownOfName = 64;
constexpr std::size_t kNamesShown = 40;

// Where ANSI bytes may be cut: after a byte below 0x40, which no double-byte code page uses
// as the second byte of a character (932, 936, 949 and 950 start theirs at 0x40 or above).
std::size_t ansiCutAfter(std::string_view bytes) {
  for (std::size_t i = bytes.size(); i > 0; --i) {
    if (static_cast<unsigned char>(bytes[i - 1]) < 0x40) return i;
  }
  return 0;
}

}  // namespace
}  // namespace csv_column

using csv_column::kNone;

CsvColumn::CsvColumn(const std::string& argument) {
  const bool number = !argument.empty() && std::all_of(argument.begin(), argument.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
  if (!number) {
    if (argument.empty()) throw UsageError("--csv-column: give a column number (from 1) or a name in the header row");
    name_ = argument;
    return;
  }
  const std::size_t first = argument.find_first_not_of('0');
  if (first == std::string::npos || argument.size() - first > 9) {
    throw UsageError("--csv-column " + argument + ": columns are numbered from 1");
  }
  index_ = std::stoul(argument) - 1;
}

CsvColumnRewriter::CsvColumnRewriter(CsvColumn column, bool header, bool ansi, std::size_t longestCell,
                                     CsvColumnHandler handler, RowWriter& out)
    : column_(std::move(column)),
      ansi_(ansi),
      longestCell_(longestCell),
      handler_(std::move(handler)),
      out_(out),
      inHeader_(header) {}

void CsvColumnRewriter::run(InputBytes& in) {
  source_ = in.name();
  for (std::string_view chunk = in.available(); !chunk.empty(); chunk = in.available()) {
    feed(chunk);
    in.take(chunk.size());
  }
  if (state_ == State::Quoted) {
    throw ToolError("line " + std::to_string(recordLine_) + " of " + source_ +
                    ": a quoted cell is not closed by the end of the input");
  }
  if (recordStarted_) {
    // A CR at the very end is the record's line end.
    const bool carriageReturn = pendingCarriageReturn_;
    pendingCarriageReturn_ = false;
    pendingFrom_ = kNone;
    if (!cellBegun_) beginCell({}, 0);
    const bool heldBack = inColumn_;
    endCell(kNone);
    if (carriageReturn && heldBack) emitUtf8("\r");
    endRecord({}, kNone);
  }
  if (inHeader_ && column_.named()) {
    throw ToolError(source_ + " holds no header row, so it has no column named " + column_.name());
  }
}

void CsvColumnRewriter::feed(std::string_view chunk) {
  std::size_t i = 0;
  pendingFrom_ = inColumn_ ? kNone : 0;
  if (!started_) {
    started_ = true;
    // A UTF-8 byte order mark is copied, and is no part of the first cell.
    if (!ansi_ && chunk.starts_with(csv_column::kByteOrderMark)) i = csv_column::kByteOrderMark.size();
  }
  for (; i < chunk.size(); ++i) {
    char c = chunk[i];
    if (pendingCarriageReturn_) {
      pendingCarriageReturn_ = false;
      if (c == '\n') {
        // CR LF: the column's cell, held back, gets its CR after its replacement.
        const bool heldBack = inColumn_;
        endCell(i);
        if (heldBack) emitUtf8("\r");
        endRecord(chunk, i);
        continue;
      }
      if (state_ == State::AfterQuote) textAfterQuote();
      addToCell('\r');
    }
    if (!cellBegun_) beginCell(chunk, i);
    // A cell that is only copied is passed over up to its next byte that means something.
    if (!inColumn_ && !(inHeader_ && column_.named()) &&
        (state_ == State::Quoted || state_ == State::Unquoted)) {
      const std::size_t next = chunk.find_first_of(state_ == State::Quoted ? "\"\n" : ",\r\n", i);
      if (next == std::string_view::npos) break;
      i = next;
      c = chunk[i];
    }
    if (state_ != State::Quoted && (c == ',' || c == '\n' || c == '\r')) {
      // Outside quotes: the cell ends (and at a line feed its record), or a CR that may be the
      // start of the line end.
      if (c == '\r') {
        pendingCarriageReturn_ = true;
        if (state_ == State::CellStart) state_ = State::Unquoted;
        continue;
      }
      endCell(i);
      if (c == '\n') endRecord(chunk, i);
      continue;
    }
    switch (state_) {
      case State::CellStart:
        if (c == '"') {
          quoted_ = true;
          state_ = State::Quoted;
        } else {
          addToCell(c);
          state_ = State::Unquoted;
        }
        break;
      case State::Unquoted:
        addToCell(c);  // a stray quote in an unquoted cell is text, as spreadsheets take it
        break;
      case State::Quoted:
        if (c == '"') {
          state_ = State::AfterQuote;
        } else {
          if (c == '\n') ++lines_;
          addToCell(c);
        }
        break;
      case State::AfterQuote:
        if (c != '"') textAfterQuote();
        addToCell('"');
        state_ = State::Quoted;
        break;
    }
  }
  if (pendingFrom_ != kNone) emitPending(chunk, chunk.size());
}

void CsvColumnRewriter::beginCell(std::string_view chunk, std::size_t at) {
  if (!recordStarted_) {
    recordStarted_ = true;
    recordLine_ = lines_ + 1;
  }
  cellBegun_ = true;
  quoted_ = false;
  inColumn_ = !inHeader_ && cellIndex_ == column_.index();
  if (inColumn_) {
    // What came before the cell goes out; the cell itself waits for its replacement.
    if (pendingFrom_ != kNone) emitPending(chunk, at);
    pendingFrom_ = kNone;
    cell_.clear();
    cellTooLong_ = false;
  }
}

void CsvColumnRewriter::addToCell(char c) {
  if (inColumn_) {
    if (cell_.size() < longestCell_) {
      cell_.push_back(c);
    } else {
      cellTooLong_ = true;
    }
  } else if (inHeader_ && column_.named()) {
    if (headerCell_.size() < std::max(csv_column::kShownOfName, 4 * column_.name().size() + 4)) {
      headerCell_ += c;
    } else {
      headerCellCut_ = true;
    }
  }
}

void CsvColumnRewriter::endCell(std::size_t at) {
  if (inColumn_) {
    const std::optional<orv::SecretBytes> result = handler_.cell(recordLine_, cell_, cellTooLong_);
    cell_.clear();
    std::string written;
    const orv::SecretBytes none;
    appendCsvField(written, (result ? *result : none).view(), quoted_, CsvCells::Exact);
    emitUtf8(written);
    orv::secureWipe(written);
    inColumn_ = false;
    pendingFrom_ = at;  // the comma or line feed that ended it is copied
  } else if (inHeader_ && column_.named()) {
    const std::string name = ansi_ ? orv::text::toUtf8(orv::text::fromAnsi(headerCell_)) : headerCell_;
    if (!headerCellCut_ && name == column_.name()) {
      foundTwice_ = foundTwice_ || foundAt_.has_value();
      if (!foundAt_) foundAt_ = cellIndex_;
    }
    if (headerCells_ < csv_column::kNamesShown) {
      headerNames_ += (headerCells_ == 0 ? "" : ", ") + name.substr(0, csv_column::kShownOfName);
      if (headerCellCut_ || name.size() > csv_column::kShownOfName) headerNames_ += "...";
    } else if (headerCells_ == csv_column::kNamesShown) {
      headerNames_ += ", ...";
    }
    ++headerCells_;
    headerCell_.clear();
    headerCellCut_ = false;
  }
  ++cellIndex_;
  cellBegun_ = false;
  state_ = State::CellStart;
}

void CsvColumnRewriter::endRecord(std::string_view chunk, std::size_t at) {
  if (at != kNone) {
    ++lines_;
    emitPending(chunk, at + 1);
    pendingFrom_ = at + 1;
  }
  if (inHeader_) {
    if (column_.named()) lookUpColumn();
    inHeader_ = false;
  } else if (cellIndex_ <= column_.index()) {
    handler_.shortRecord(recordLine_, column_.index(), cellIndex_);
  }
  flushAnsiCarry();
  out_.endPieces();
  cellIndex_ = 0;
  recordStarted_ = false;
}

void CsvColumnRewriter::lookUpColumn() {
  if (!foundAt_) {
    throw ToolError("the header row (line " + std::to_string(recordLine_) + ") has no column named " + column_.name() +
                    "; its columns: " + headerNames_);
  }
  if (foundTwice_) {
    throw ToolError("the header row has two columns named " + column_.name() + "; give the column's number instead");
  }
  column_.found(*foundAt_);
}

void CsvColumnRewriter::emitPending(std::string_view chunk, std::size_t end) {
  if (pendingFrom_ != kNone && end > pendingFrom_) emit(chunk.substr(pendingFrom_, end - pendingFrom_));
  pendingFrom_ = end;
}

void CsvColumnRewriter::emit(std::string_view bytes) {
  if (!ansi_) {
    out_.rowPiece(bytes);
    return;
  }
  ansiCarry_ += bytes;
  const std::size_t cut = csv_column::ansiCutAfter(ansiCarry_);
  if (cut == 0) return;
  out_.rowPiece(orv::text::toUtf8(orv::text::fromAnsi(std::string_view(ansiCarry_).substr(0, cut))));
  ansiCarry_.erase(0, cut);
}

void CsvColumnRewriter::emitUtf8(std::string_view bytes) {
  flushAnsiCarry();
  out_.rowPiece(bytes);
}

void CsvColumnRewriter::flushAnsiCarry() {
  if (ansiCarry_.empty()) return;
  out_.rowPiece(orv::text::toUtf8(orv::text::fromAnsi(ansiCarry_)));
  ansiCarry_.clear();
}

void CsvColumnRewriter::textAfterQuote() const {
  throw ToolError("line " + std::to_string(lines_ + 1) + " of " + source_ +
                  ": text after the closing quote of a cell; a quote inside a quoted cell is written twice (\"\")");
}

}  // namespace orvacct
