#pragma once
// Rows of fields for standard output, collected and written in large pieces (a batch may be
// millions of rows):
//   Jsonl  one JSON object a row, the columns as its names; a single column without a name is
//          written as a bare JSON value;
//   Csv    RFC 4180 with CR LF line ends, a header row of the column names (none when the
//          single column has no name), formulas neutralised unless the cells are to be exact
//          (output_quoting.h);
//   Lines  the single column's text as it is, one a line.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "rows/output_quoting.h"

namespace orvacct {

enum class RowFormat { Lines, Jsonl, Csv };

class RowWriter {
 public:
  // Where the rows go in large pieces (the tool's standard output, a file, a string).
  using Sink = std::function<void(std::string_view)>;
  RowWriter(RowFormat format, std::vector<std::string> columns, Sink sink,
            CsvCells cells = CsvCells::SpreadsheetSafe);
  // What was written before a failure still reaches the reader. The rows may be plain
  // passwords: every buffer they passed through is wiped, on each flush and at the end.
  ~RowWriter();
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // The next field of the row.
  void text(std::string_view utf8);
  void number(std::int64_t value);
  void null();  // JSON null; an empty field elsewhere
  // A text quoted once by quoted() and given for many rows.
  void quotedText(std::string_view quoted);
  std::string quoted(std::string_view utf8) const;
  // A whole row already in the format, its line end included.
  void row(std::string_view formatted);
  // A row given in pieces as they come (a CSV record streamed), and its end.
  void rowPiece(std::string_view formatted);
  void endPieces();
  // The pieces of the row not yet ended are not written after all (its part already flushed
  // when the row was longer than the buffer stays written).
  void dropUnendedRow();

  void endRow();
  // Writes what was collected; the sink's own failure when it cannot be written.
  void flush();

 private:
  void beginField();
  void appendQuoted(std::string& out, std::string_view utf8) const;

  void flushWhenFull();
  // Room for `more` bytes, so that the buffer never moves unwiped.
  void makeRoom(std::size_t more);

  RowFormat format_;
  CsvCells cells_;
  Sink sink_;
  std::vector<std::string> columns_;
  std::vector<std::string> jsonNames_;  // "\"name\":" for each column
  std::size_t field_ = 0;
  std::string buffer_;
  std::size_t rowStart_ = 0;  // where the row not yet ended begins
};

}  // namespace orvacct
