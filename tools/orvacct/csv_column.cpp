#include "csv_column.h"

#include <algorithm>

#include "output_quoting.h"
#include "tool_output.h"

namespace orvacct {

bool CsvReader::nextLine(std::string& line, std::string& end) {
  if (!std::getline(in_, line)) {
    if (in_.bad()) throw ToolError("cannot read standard input");
    return false;
  }
  ++lineNumber_;
  const bool carriageReturn = !line.empty() && line.back() == '\r';
  if (carriageReturn) line.pop_back();
  const bool lineFeed = !in_.eof();
  end = carriageReturn ? (lineFeed ? "\r\n" : "\r") : (lineFeed ? "\n" : "");
  if (lineNumber_ == 1 && skipByteOrderMark_ && line.starts_with("\xEF\xBB\xBF")) {
    line.erase(0, 3);
    hadByteOrderMark_ = true;
  }
  return true;
}

bool CsvReader::next(CsvRecord& record) {
  enum class State { CellStart, Unquoted, Quoted, AfterQuote };
  record.cells.clear();
  std::string line, end;
  if (!nextLine(line, end)) return false;
  record.firstLine = lineNumber_;
  CsvCell cell;
  State state = State::CellStart;
  for (;;) {
    for (const char c : line) {
      switch (state) {
        case State::CellStart:
          if (c == '"') {
            cell.quoted = true;
            state = State::Quoted;
          } else if (c == ',') {
            record.cells.push_back(std::move(cell));
            cell = {};
          } else {
            cell.text += c;
            state = State::Unquoted;
          }
          break;
        case State::Unquoted:
          if (c == ',') {
            record.cells.push_back(std::move(cell));
            cell = {};
            state = State::CellStart;
          } else {
            cell.text += c;  // a stray quote here is taken as text, as spreadsheets take it
          }
          break;
        case State::Quoted:
          if (c == '"') {
            state = State::AfterQuote;
          } else {
            cell.text += c;
          }
          break;
        case State::AfterQuote:
          if (c == '"') {
            cell.text += '"';
            state = State::Quoted;
          } else if (c == ',') {
            record.cells.push_back(std::move(cell));
            cell = {};
            state = State::CellStart;
          } else {
            throw ToolError("line " + std::to_string(lineNumber_) +
                            " of standard input: text after the closing quote of a cell; a quote inside a quoted "
                            "cell is written twice (\"\")");
          }
          break;
      }
    }
    if (state != State::Quoted) break;
    // The line break belongs to the quoted cell, which goes on on the next line.
    cell.text += end;
    if (!nextLine(line, end)) {
      throw ToolError("line " + std::to_string(record.firstLine) +
                      " of standard input: a quoted cell is not closed by the end of the input");
    }
  }
  record.cells.push_back(std::move(cell));
  record.lineEnd = end;
  return true;
}

namespace csv_column {

// A cell as it was read: an unquoted one held no comma or line break (a stray quote in it was
// text), so its text is its original form; a quoted one gets its quotes back.
void appendAsRead(std::string& out, const CsvCell& cell) {
  if (!cell.quoted) {
    out += cell.text;
    return;
  }
  out += '"';
  for (const char c : cell.text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace csv_column

void appendCsvRecord(std::string& out, const CsvRecord& record) {
  for (std::size_t i = 0; i < record.cells.size(); ++i) {
    if (i > 0) out += ',';
    const CsvCell& cell = record.cells[i];
    if (cell.written) {
      appendCsvField(out, cell.text, cell.quoted);
    } else {
      csv_column::appendAsRead(out, cell);
    }
  }
  out += record.lineEnd;
}

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

void CsvColumn::findIn(const CsvRecord& header) {
  const auto named = [this](const CsvCell& cell) { return cell.text == name_; };
  const auto found = std::find_if(header.cells.begin(), header.cells.end(), named);
  if (found == header.cells.end()) {
    std::string columns;
    for (const CsvCell& cell : header.cells) columns += (columns.empty() ? "" : ", ") + cell.text;
    throw ToolError("the header row (line " + std::to_string(header.firstLine) + ") has no column named " + name_ +
                    "; its columns: " + columns);
  }
  if (std::find_if(found + 1, header.cells.end(), named) != header.cells.end()) {
    throw ToolError("the header row has two columns named " + name_ + "; give the column's number instead");
  }
  index_ = static_cast<std::size_t>(found - header.cells.begin());
}

}  // namespace orvacct
