// Log files read through one buffer: reading is the whole job of the log commands, so lines are
// found with memchr in large chunks and never copied, and memory stays the same whatever the
// size of the files.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include "log/record_reader.h"

namespace orv::log {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;
// The writer never writes a NUL; text files of any ANSI code page hold none.
constexpr std::size_t kBinaryProbe = 4096;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

FilePointer openForReading(const std::filesystem::path& file) {
#ifdef _WIN32
  return FilePointer(_wfopen(file.c_str(), L"rb"));
#else
  return FilePointer(std::fopen(file.c_str(), "rb"));
#endif
}

[[noreturn]] void throwErrno() { throw std::system_error(errno != 0 ? errno : EIO, std::generic_category()); }

}  // namespace

LogFileReader::LogFileReader() : buffer_(kBufferSize) {}

void LogFileReader::read(const std::filesystem::path& file, RecordSink& sink) {
  errno = 0;
  const FilePointer stream = openForReading(file);
  if (!stream) throwErrno();
  std::setvbuf(stream.get(), nullptr, _IONBF, 0);  // the chunks are large: no second copy

  RecordReader reader(sink);
  char* const data = buffer_.data();
  std::size_t begin = 0, end = 0;  // unread bytes, the start of a line first
  bool first = true;
  for (;;) {
    if (begin > 0) {
      std::memmove(data, data + begin, end - begin);
      end -= begin;
      begin = 0;
    }
    if (end == buffer_.size()) {
      // A line longer than the buffer is read as several; no record has such lines.
      reader.line({data, end});
      end = 0;
    }
    const std::size_t got = std::fread(data + end, 1, buffer_.size() - end, stream.get());
    if (got == 0) {
      if (std::ferror(stream.get())) throwErrno();
      break;
    }
    if (first && std::memchr(data, '\0', std::min(got, kBinaryProbe)) != nullptr) {
      sink.problem({.kind = Damage::NotText, .line = 1});
      return;
    }
    first = false;
    end += got;
    while (const void* found = std::memchr(data + begin, '\n', end - begin)) {
      const auto lineEnd = static_cast<std::size_t>(static_cast<const char*>(found) - data);
      reader.line({data + begin, lineEnd - begin});
      begin = lineEnd + 1;
    }
  }
  reader.finish({data + begin, end - begin});
}

}  // namespace orv::log
