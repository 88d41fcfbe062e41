#include "rows/row_writer.h"

#include <algorithm>
#include <charconv>

#include "base/secure_wipe.h"

#include "rows/output_quoting.h"

namespace orvacct {
namespace {

constexpr std::size_t kFlushAt = std::size_t{1} << 16;

// Its spare capacity too: what was cut off by a resize still lies there.
void wipeWhole(std::string& buffer) noexcept {
  buffer.resize(buffer.capacity());
  orv::secureWipe(buffer);
  buffer.clear();
}

}  // namespace

RowWriter::RowWriter(RowFormat format, std::vector<std::string> columns, Sink sink, CsvCells cells)
    : format_(format), cells_(cells), sink_(std::move(sink)), columns_(std::move(columns)) {
  buffer_.reserve(2 * kFlushAt);
  for (const std::string& name : columns_) {
    std::string json;
    appendJsonString(json, name);
    jsonNames_.push_back(json + ':');
  }
  const bool named = !(columns_.size() == 1 && columns_.front().empty());
  if (format_ == RowFormat::Csv && named) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (i > 0) buffer_ += ',';
      appendCsvField(buffer_, columns_[i]);
    }
    buffer_ += "\r\n";
  }
  if (!named) jsonNames_.front().clear();
}

RowWriter::~RowWriter() {
  try {
    flush();
  } catch (...) {
    // The failure was the caller's to report; a destructor cannot.
  }
  wipeWhole(buffer_);
}

void RowWriter::makeRoom(std::size_t more) {
  if (buffer_.size() + more <= buffer_.capacity()) return;
  std::string larger;
  larger.reserve(std::max(buffer_.size() + more, 2 * buffer_.capacity()));
  larger.append(buffer_);
  wipeWhole(buffer_);
  buffer_.swap(larger);
}

void RowWriter::beginField() {
  makeRoom(jsonNames_[field_ < jsonNames_.size() ? field_ : 0].size() + 2);
  switch (format_) {
    case RowFormat::Jsonl:
      if (jsonNames_.front().empty()) break;
      buffer_ += field_ == 0 ? '{' : ',';
      buffer_ += jsonNames_[field_];
      break;
    case RowFormat::Csv:
      if (field_ > 0) buffer_ += ',';
      break;
    case RowFormat::Lines:
      break;
  }
  ++field_;
}

void RowWriter::appendQuoted(std::string& out, std::string_view utf8) const {
  switch (format_) {
    case RowFormat::Jsonl:
      appendJsonString(out, utf8);
      break;
    case RowFormat::Csv:
      // A single unnamed column is a list of values, each quoted, so an empty one is a row too.
      appendCsvField(out, utf8, jsonNames_.front().empty(), cells_);
      break;
    case RowFormat::Lines:
      out += utf8;
      break;
  }
}

std::string RowWriter::quoted(std::string_view utf8) const {
  std::string out;
  appendQuoted(out, utf8);
  return out;
}

void RowWriter::text(std::string_view utf8) {
  beginField();
  // At most six bytes a byte (JSON's \u00XX), and the quotes.
  makeRoom(6 * utf8.size() + 4);
  appendQuoted(buffer_, utf8);
}

void RowWriter::quotedText(std::string_view quoted) {
  beginField();
  makeRoom(quoted.size());
  buffer_ += quoted;
}

void RowWriter::number(std::int64_t value) {
  beginField();
  makeRoom(24);
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(digits, end);
}

void RowWriter::null() {
  beginField();
  makeRoom(4);
  if (format_ == RowFormat::Jsonl) buffer_ += "null";
}

void RowWriter::endRow() {
  makeRoom(4);
  if (format_ == RowFormat::Jsonl && !jsonNames_.front().empty()) buffer_ += '}';
  buffer_ += format_ == RowFormat::Csv && !jsonNames_.front().empty() ? "\r\n" : "\n";
  field_ = 0;
  flushWhenFull();
}

void RowWriter::row(std::string_view formatted) {
  rowPiece(formatted);
  endPieces();
}

void RowWriter::rowPiece(std::string_view formatted) {
  makeRoom(formatted.size());
  buffer_ += formatted;
  if (buffer_.size() >= kFlushAt) flush();
}

void RowWriter::endPieces() { rowStart_ = buffer_.size(); }

void RowWriter::dropUnendedRow() {
  orv::secureWipe(buffer_.data() + rowStart_, buffer_.size() - rowStart_);
  buffer_.resize(rowStart_);
}

void RowWriter::flushWhenFull() {
  rowStart_ = buffer_.size();
  if (buffer_.size() >= kFlushAt) flush();
}

void RowWriter::flush() {
  // Emptied, and wiped, even when the write fails, so it is not tried again from the destructor.
  struct Emptied {
    std::string& buffer;
    std::size_t& rowStart;
    ~Emptied() {
      orv::secureWipe(buffer.data(), buffer.size());
      buffer.clear();
      rowStart = 0;
    }
  } emptied{buffer_, rowStart_};
  sink_(buffer_);
}

}  // namespace orvacct
