#include "row_writer.h"

#include <charconv>

#include "output_quoting.h"
#include "tool_output.h"

namespace orvacct {
namespace {

constexpr std::size_t kFlushAt = std::size_t{1} << 16;

}  // namespace

RowWriter::RowWriter(RowFormat format, std::vector<std::string> columns, Sink sink)
    : format_(format), sink_(std::move(sink)), columns_(std::move(columns)) {
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
}

void RowWriter::beginField() {
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
      appendCsvField(out, utf8, jsonNames_.front().empty());
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
  appendQuoted(buffer_, utf8);
}

void RowWriter::quotedText(std::string_view quoted) {
  beginField();
  buffer_ += quoted;
}

void RowWriter::number(std::int64_t value) {
  beginField();
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(digits, end);
}

void RowWriter::null() {
  beginField();
  if (format_ == RowFormat::Jsonl) buffer_ += "null";
}

void RowWriter::endRow() {
  if (format_ == RowFormat::Jsonl && !jsonNames_.front().empty()) buffer_ += '}';
  buffer_ += format_ == RowFormat::Csv && !jsonNames_.front().empty() ? "\r\n" : "\n";
  field_ = 0;
  flushWhenFull();
}

void RowWriter::row(std::string_view formatted) {
  buffer_ += formatted;
  flushWhenFull();
}

void RowWriter::flushWhenFull() {
  if (buffer_.size() >= kFlushAt) flush();
}

void RowWriter::flush() {
  // Emptied even when the write fails, so it is not tried again from the destructor.
  struct Emptied {
    std::string& buffer;
    ~Emptied() { buffer.clear(); }
  } emptied{buffer_};
  if (sink_) {
    sink_(buffer_);
  } else {
    writeOutput(buffer_);
  }
}

}  // namespace orvacct
