#include "log_reading/state_scan.h"

#include <algorithm>
#include <system_error>
#include <unordered_set>

#include "log/record_lines.h"
#include "log_reading/native_path.h"
#include "log_reading/state_bytes.h"
#include "platform/file_identity.h"
#include "text/code_page.h"
#include "text/utf.h"

namespace orvacct::logs {
namespace {

using orv::log::ReadProblem;
using orv::log::ReadRecord;
using orv::platform::ReadableFile;

// How far before a file's end its last record's first line is looked for; a record longer than
// this (a description of thousands of lines) leaves the file to be read whole when it grows.
constexpr std::size_t kLastRecordWindow = std::size_t{64} << 10;

std::string bytesAt(ReadableFile& file, std::uint64_t offset, std::size_t size) {
  std::string bytes(size, '\0');
  bytes.resize(orv::platform::readAt(file, offset, bytes.data(), size));
  return bytes;
}

std::uint64_t headHash(ReadableFile& file, std::uint64_t size) {
  return bytesHash(bytesAt(file, 0, static_cast<std::size_t>(std::min<std::uint64_t>(size, kHashedBytes))));
}

// Of the bytes just before `end`.
std::uint64_t hashBefore(ReadableFile& file, std::uint64_t end) {
  const std::uint64_t size = std::min<std::uint64_t>(end, kHashedBytes);
  return bytesHash(bytesAt(file, end - size, static_cast<std::size_t>(size)));
}

// Where the file's last line that is a record's first line, whole, begins before `end`.
std::optional<std::uint64_t> lastFirstLine(ReadableFile& file, std::uint64_t end) {
  const std::uint64_t from = end - std::min<std::uint64_t>(end, kLastRecordWindow);
  const std::string bytes = bytesAt(file, from, static_cast<std::size_t>(end - from));
  const std::string_view text = bytes;
  const std::string_view first = orv::log::kRecordFirstLine;
  std::size_t at = text.rfind(first);
  while (at != std::string_view::npos) {
    const bool startsLine = at > 0 ? text[at - 1] == '\n' : from == 0;
    std::string_view rest = text.substr(at + first.size());
    if (rest.starts_with('\r')) rest.remove_prefix(1);
    if (startsLine && rest.starts_with('\n')) return from + at;
    if (at == 0) break;
    at = text.rfind(first, at - 1);
  }
  return std::nullopt;
}

// A record's number and texts, kept for comparing.
struct RecordBody {
  std::int32_t number = 0;
  std::uint8_t cutLines = 0;
  std::string description, module, procedure, version;
};

// An event as a reading gave it, kept for comparing.
struct Event {
  bool isRecord = true;
  RecordBody body;
  std::uint64_t line = 0;
  int second = -1;
  ReadProblem problem;

  static Event of(const ReadRecord& record) {
    return {true,
            {record.number, record.cutLines, std::string(record.description), std::string(record.module),
             std::string(record.procedure), std::string(record.version)},
            record.line,
            record.secondOfDay,
            {}};
  }
  static Event of(const ReadProblem& problem) { return {false, {}, problem.line, -1, problem}; }

  // The same event, this one's lines `shift` further on.
  bool matches(const Event& other, std::uint64_t shift) const {
    if (isRecord != other.isRecord || line + shift != other.line) return false;
    if (!isRecord) {
      const ReadProblem& a = problem;
      const ReadProblem& b = other.problem;
      return a.kind == b.kind && (a.at == 0 ? b.at == 0 : a.at + shift == b.at) && a.count == b.count &&
             a.missing == b.missing;
    }
    const RecordBody& a = body;
    const RecordBody& b = other.body;
    return second == other.second && a.number == b.number && a.cutLines == b.cutLines &&
           a.description == b.description && a.module == b.module && a.procedure == b.procedure &&
           a.version == b.version;
  }
};

class EventList final : public orv::log::RecordSink {
 public:
  void record(const ReadRecord& record) override { events.push_back(Event::of(record)); }
  void problem(const ReadProblem& problem) override { events.push_back(Event::of(problem)); }
  std::vector<Event> events;
};

// Whether reading from `offset` (its lines counted from 1) gives what the whole reading gave last,
// and so a later reading may start there: the first line there, and what the contribution held
// before it.
std::optional<RestartPoint> restartAt(orv::log::LogFileReader& reader, ReadableFile& file, std::uint64_t offset,
                                      const orv::text::CodePage* codePage, const Contribution& contribution,
                                      const std::vector<EventCursor>& lastCursors) {
  EventList again;
  orv::platform::seekTo(file, offset);
  reader.read(file, again, codePage);
  if (again.events.empty() || again.events.size() > contribution.eventCount || again.events.front().line != 1) {
    return std::nullopt;
  }
  const std::uint64_t before = contribution.eventCount - again.events.size();
  const auto cursor = std::find_if(lastCursors.begin(), lastCursors.end(),
                                   [before](const EventCursor& c) { return c.events == before; });
  if (cursor == lastCursors.end()) return std::nullopt;
  EventList kept;
  EventDecoder decoder(contribution, *cursor);
  while (decoder.next(kept)) {
  }
  const std::uint64_t shift = kept.events.front().line - 1;
  for (std::size_t i = 0; i < again.events.size(); ++i) {
    if (!again.events[i].matches(kept.events[i], shift)) return std::nullopt;
  }
  return RestartPoint{offset, shift + 1, hashBefore(file, offset), before};
}

}  // namespace

bool StatefulFileReading::unchanged(ReadableFile& handle) {
  if (!unchanged_) {
    const FileState* previous = previous_.get();
    try {
      const auto identity = orv::platform::identityOf(handle);
      unchanged_ = previous != nullptr && previous->codePage == codePageName() && identity == previous->identity &&
                   headHash(handle, identity.size) == previous->headHash &&
                   hashBefore(handle, identity.size) == previous->endHash;
    } catch (const std::system_error&) {
      unchanged_ = false;  // read, and failing there, told as any reading's failure is
    }
  }
  return *unchanged_;
}

std::string StatefulFileReading::codePageName() const {
  return codePage_ != nullptr ? codePage_->name() : std::string();
}

void StatefulFileReading::read(orv::log::LogFileReader& reader, ReadableFile& handle, orv::log::RecordSink& sink) {
  if (unchanged(handle)) {
    EventDecoder decoder(previous_->contribution);
    while (decoder.next(sink)) {
    }
    result_ = previous_;
    return;
  }
  const auto identity = orv::platform::identityOf(handle);
  const FileState* previous = previous_.get();
  if (previous != nullptr && previous->codePage == codePageName() && previous->identity.sameFile(identity) &&
      identity.size > previous->identity.size && headHash(handle, previous->identity.size) == previous->headHash) {
    const auto& restart = previous->restart;
    if (restart && hashBefore(handle, restart->offset) == restart->hash) {
      auto state = std::make_shared<FileState>();
      state->contribution.bodies = previous->contribution.bodies;
      state->contribution.bodyAt = previous->contribution.bodyAt;
      state->contribution.events = previous->contribution.events;
      EventDecoder decoder(previous->contribution);
      while (decoder.cursor().events < restart->events && decoder.next(sink)) {
      }
      orv::platform::seekTo(handle, restart->offset);
      ContributionRecorder recorder(state->contribution, decoder.cursor(), sink, restart->line - 1);
      reader.read(handle, recorder, codePage_);
      settle(reader, handle, identity, std::move(state), recorder.lastCursors());
      return;
    }
  }
  auto state = std::make_shared<FileState>();
  ContributionRecorder recorder(state->contribution, {}, sink);
  reader.read(handle, recorder, codePage_);
  settle(reader, handle, identity, std::move(state), recorder.lastCursors());
}

void StatefulFileReading::settle(orv::log::LogFileReader& reader, ReadableFile& handle,
                                 const orv::platform::FileIdentity& identity, std::shared_ptr<FileState> state,
                                 const std::vector<EventCursor>& lastCursors) {
  // A file that changed while it was read is read again next time.
  if (!(orv::platform::identityOf(handle) == identity)) return;
  state->path = path_;
  state->codePage = codePageName();
  state->identity = identity;
  state->headHash = headHash(handle, identity.size);
  state->endHash = hashBefore(handle, identity.size);
  if (const auto offset = lastFirstLine(handle, identity.size)) {
    state->restart = restartAt(reader, handle, *offset, codePage_, state->contribution, lastCursors);
  }
  result_ = std::move(state);
}

ScanState::ScanState(const std::filesystem::path& path, bool rebuild) : rebuild_(rebuild) {
  std::filesystem::path lockPath = path;
  lockPath += ".lock";
  lock_ = orv::platform::FileLock::tryTake(lockPath);
  if (!lock_)
    throw StateBusy("is in use by another run (its lock " + orv::text::toUtf8(lockPath.u16string()) + " is held)");
  if (rebuild) return;
  // Not cleared before it is read over: a state of megabytes.
  std::unique_ptr<char[]> bytes;
  std::size_t got = 0;
  try {
    ReadableFile file = ReadableFile::open(path);
    const auto size = static_cast<std::size_t>(file.sizeWhenOpened());
    bytes.reset(new char[size]);
    while (got < size) {
      const std::size_t read = file.read(bytes.get() + got, size - got);
      if (read == 0) break;
      got += read;
    }
  } catch (const std::system_error& e) {
    if (e.code() == std::errc::no_such_file_or_directory) return;
    throw;
  } catch (const orv::platform::NotARegularFile& e) {
    throw StateRefused(std::string("is ") + e.what() + ", not a file");
  }
  previous_ = parseLogState(std::string_view(bytes.get(), got));
  for (const auto& file : previous_) byPath_[file->path] = file;
}

std::shared_ptr<StatefulFileReading> ScanState::reading(const LogFile& file) {
  const auto found = byPath_.find(file.pathText);
  auto reading = std::make_shared<StatefulFileReading>(file, found != byPath_.end() ? found->second : nullptr);
  readings_.push_back(reading);
  return reading;
}

std::optional<std::string> ScanState::serialized() const {
  std::vector<std::shared_ptr<const FileState>> files;
  std::unordered_set<std::string> seen;
  for (auto reading = readings_.rbegin(); reading != readings_.rend(); ++reading) {
    if (!seen.insert((*reading)->path()).second) continue;
    if ((*reading)->result()) files.push_back((*reading)->result());
  }
  std::reverse(files.begin(), files.end());
  for (const auto& file : previous_) {
    std::error_code error;
    if (!seen.contains(file->path) && std::filesystem::is_regular_file(nativePath(file->path), error))
      files.push_back(file);
  }
  if (files == previous_ && !rebuild_) return std::nullopt;
  return serializedLogState(files);
}

}  // namespace orvacct::logs
