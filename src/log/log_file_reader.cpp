// Log files read through one buffer: reading is the whole job of the log commands, so lines are
// found with memchr in large chunks and never copied, and memory stays the same whatever the
// size of the files. A line longer than the buffer is still one line: its beginning is kept,
// the rest passed over up to its end.
#include <algorithm>
#include <cstring>

#include "log/record_reader.h"
#include "platform/readable_file.h"

namespace orv::log {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;
// What is kept of a line too long for the buffer: its label and kTextKept of its text.
constexpr std::size_t kLongLineKept = kTextKept + 64;
static_assert(kLongLineKept < kBufferSize);

// The end of a line too long to hold, as far as the reader needs it: whether it ended in a
// record's first line (the last bytes before its line end, a CR aside).
class LongLineEnd {
 public:
  void add(std::string_view bytes) {
    if (bytes.size() >= kKept) {
      last_.assign(bytes.substr(bytes.size() - kKept));
    } else {
      last_.append(bytes);
      if (last_.size() > kKept) last_.erase(0, last_.size() - kKept);
    }
  }
  bool endsWithFirstLine() const {
    std::string_view text = last_;
    if (text.ends_with('\r')) text.remove_suffix(1);
    return text.ends_with(kRecordFirstLine);
  }
  void clear() { last_.clear(); }

 private:
  static constexpr std::size_t kKept = kRecordFirstLine.size() + 1;
  std::string last_;
};

}  // namespace

LogFileReader::LogFileReader() : buffer_(kBufferSize) {}

void LogFileReader::read(platform::ReadableFile& file, RecordSink& sink, const text::CodePage* codePage) {
  RecordReader reader(sink, codePage);
  char* const data = buffer_.data();
  std::size_t begin = 0, end = 0;  // unread bytes, the start of a line first
  // A line too long for the buffer: its kept beginning stays at the start of the buffer, and
  // the rest of the line is passed over until its end comes.
  bool longLine = false;
  LongLineEnd longLineEnd;
  const auto endLongLine = [&](std::string_view lastPiece) {
    longLineEnd.add(lastPiece);
    const LineCut cut{.cut = true, .endsWithFirstLine = longLineEnd.endsWithFirstLine()};
    longLine = false;
    longLineEnd.clear();
    return cut;
  };
  for (;;) {
    if (longLine) {
      // Everything after the kept beginning is passed over; only a line end matters.
      end = kLongLineKept;
    } else if (begin > 0) {
      std::memmove(data, data + begin, end - begin);
      end -= begin;
      begin = 0;
    }
    if (!longLine && end == buffer_.size()) {
      longLine = true;
      longLineEnd.add({data + kLongLineKept, end - kLongLineKept});
      end = kLongLineKept;
    }
    const std::size_t got = file.read(data + end, buffer_.size() - end);
    if (got == 0) break;
    if (longLine) {
      const char* found = static_cast<const char*>(std::memchr(data + end, '\n', got));
      if (found == nullptr) {
        longLineEnd.add({data + end, got});
        continue;
      }
      const auto lineEnd = static_cast<std::size_t>(found - data);
      reader.line({data, kLongLineKept}, endLongLine({data + end, lineEnd - end}));
      // What follows the long line's end is moved to the start of the buffer.
      begin = lineEnd + 1;
      end += got;
    } else {
      end += got;
    }
    while (const void* found = std::memchr(data + begin, '\n', end - begin)) {
      const auto lineEnd = static_cast<std::size_t>(static_cast<const char*>(found) - data);
      reader.line({data + begin, lineEnd - begin});
      begin = lineEnd + 1;
    }
  }
  if (longLine) {
    reader.finish({data, kLongLineKept}, endLongLine({}));
  } else {
    reader.finish({data + begin, end - begin});
  }
}

}  // namespace orv::log
