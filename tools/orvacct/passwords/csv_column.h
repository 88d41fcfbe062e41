#pragma once
// CSV as RFC 4180 has it (quoted cells holding commas, quotes and line breaks; CR LF or LF), for
// --csv-column: one column's cells are replaced and every other byte is copied as it streams
// past, its quoting and line ends included. Only the column's own cell is ever held, and no more
// of it than the longest password, so memory stays small whatever the cells hold.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/secret.h"
#include "input/input_bytes.h"
#include "rows/row_writer.h"

namespace orvacct {

// The column --csv-column names: a number from 1, or a name in the header row.
class CsvColumn {
 public:
  explicit CsvColumn(const std::string& argument);

  bool named() const noexcept { return !name_.empty(); }
  const std::string& name() const noexcept { return name_; }
  // From 0; a named column's once its header row was read.
  std::size_t index() const noexcept { return index_; }
  void found(std::size_t index) noexcept { index_ = index; }

 private:
  std::string name_;
  std::size_t index_ = 0;
};

// What becomes of the column's cells.
struct CsvColumnHandler {
  // The cell's replacement in UTF-8, or none to leave it empty; `cell` holds its bytes as they
  // came, quotes undone, unless it was longer than the rewriter keeps (tooLong). A throw ends
  // the run.
  std::function<std::optional<orv::SecretBytes>(std::size_t line, const orv::SecretBytes& cell, bool tooLong)> cell;
  // A record that ends before the column (an index from 0): it is written as it was when this
  // returns.
  std::function<void(std::size_t line, std::size_t column, std::size_t cells)> shortRecord;
};

class CsvColumnRewriter {
 public:
  // header: the first record is a header row, written back as it came (and where a named
  // column is looked up). ansi: the input's bytes are in the ANSI code page; what is written is
  // UTF-8 either way. longestCell: how much of a column's cell is kept.
  CsvColumnRewriter(CsvColumn column, bool header, bool ansi, std::size_t longestCell, CsvColumnHandler handler,
                    RowWriter& out);

  // The whole input. A ToolError, naming the line, for input that is not CSV (a quoted cell
  // never closed, text after a cell's closing quote), for a named column the header row lacks
  // (or has twice), and for no header row at all where a column is named.
  void run(InputBytes& in);

 private:
  enum class State { CellStart, Unquoted, Quoted, AfterQuote };

  void feed(std::string_view chunk);
  void beginCell(std::string_view chunk, std::size_t at);
  void addToCell(char c);
  // The cell ends before the chunk's byte at (a comma, a line feed; npos: the end).
  void endCell(std::size_t at);
  void endRecord(std::string_view chunk, std::size_t at);
  void emitPending(std::string_view chunk, std::size_t end);
  // Bytes as they came (converted when they are ANSI), and text already in UTF-8.
  void emit(std::string_view bytes);
  void emitUtf8(std::string_view bytes);
  void flushAnsiCarry();
  void lookUpColumn();
  [[noreturn]] void textAfterQuote() const;

  CsvColumn column_;
  bool ansi_;
  std::size_t longestCell_;
  CsvColumnHandler handler_;
  RowWriter& out_;
  std::string source_;  // "standard input" or the file, for messages

  bool inHeader_;
  bool started_ = false;        // any byte of the input read
  bool recordStarted_ = false;  // any byte of the record read
  bool cellBegun_ = false;
  bool inColumn_ = false;  // the cell is the column's, held and not copied
  State state_ = State::CellStart;
  bool pendingCarriageReturn_ = false;  // a CR whose line feed may come next
  bool quoted_ = false;
  std::size_t cellIndex_ = 0;
  std::size_t lines_ = 0;  // line feeds read
  std::size_t recordLine_ = 1;
  std::size_t pendingFrom_ = 0;  // of the chunk: where the bytes still to copy begin (npos: none)

  orv::SecretBytes cell_;
  bool cellTooLong_ = false;
  std::string ansiCarry_;  // copied bytes not yet converted: a character may go on in the next chunk

  // The header row's cells, as far as a name is compared and listed.
  std::string headerCell_;
  bool headerCellCut_ = false;
  std::string headerNames_;
  std::size_t headerCells_ = 0;
  std::optional<std::size_t> foundAt_;
  bool foundTwice_ = false;
};

}  // namespace orvacct
