#pragma once
// CSV as RFC 4180 has it (quoted cells holding commas, quotes and line breaks; CR LF or LF), read
// one record at a time and written back, for --csv-column: one column's cells are replaced and
// every other cell stays as it was, its quoting included.
#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace orvacct {

struct CsvCell {
  std::string text;  // the content, quotes undone
  bool quoted = false;
  bool written = false;  // the tool's own result, not a cell passed through
};

struct CsvRecord {
  std::vector<CsvCell> cells;
  std::string lineEnd;        // as the input ended the record: "\r\n", "\n", or "" at the very end
  std::size_t firstLine = 0;  // the input line the record starts on, from 1
};

class CsvReader {
 public:
  // skipByteOrderMark: a UTF-8 byte order mark before the first record is not part of it.
  CsvReader(std::istream& in, bool skipByteOrderMark) : in_(in), skipByteOrderMark_(skipByteOrderMark) {}

  // The next record; false at the end of the input. A ToolError, naming the line, for input
  // that is not CSV: a quoted cell never closed, or text after a cell's closing quote.
  bool next(CsvRecord& record);

  // Whether the input began with a UTF-8 byte order mark (kept out of the first cell).
  bool hadByteOrderMark() const noexcept { return hadByteOrderMark_; }

 private:
  bool nextLine(std::string& line, std::string& end);

  std::istream& in_;
  bool skipByteOrderMark_;
  bool hadByteOrderMark_ = false;
  std::size_t lineNumber_ = 0;
};

// The record as CSV, ended as it was read. A cell passed through is written exactly as it came
// (its quoting included: no formula apostrophe is added to data that is not the tool's); a cell
// the tool wrote is quoted where its content needs it, and kept from reading as a formula.
void appendCsvRecord(std::string& out, const CsvRecord& record);

// The column --csv-column names: a number from 1, or a name in the header row (the first record).
class CsvColumn {
 public:
  explicit CsvColumn(const std::string& argument);

  bool namedInHeader() const noexcept { return !name_.empty(); }
  // Finds the named column in the header row; a ToolError when it is not there, or twice.
  void findIn(const CsvRecord& header);
  // The column's index from 0.
  std::size_t index() const noexcept { return index_; }

 private:
  std::string name_;
  std::size_t index_ = 0;
};

}  // namespace orvacct
