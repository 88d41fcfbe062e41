#include "log_reading/log_state.h"

#include "log_reading/state_bytes.h"

namespace orvacct::logs {
namespace {

constexpr std::size_t kShortestLogName = 14;

std::string versionLine() { return std::string(kStateMagic) + std::to_string(kStateVersion) + "\n"; }

void putFile(std::string& out, const FileState& file) {
  putText(out, file.path);
  putText(out, file.codePage);
  putNumber(out, file.identity.volume);
  putNumber(out, file.identity.file);
  putNumber(out, file.identity.size);
  putSigned(out, file.identity.modified);
  putFixed(out, file.headHash);
  putFixed(out, file.endHash);
  putNumber(out, file.restart ? 1 : 0);
  if (file.restart) {
    putNumber(out, file.restart->offset);
    putNumber(out, file.restart->line);
    putFixed(out, file.restart->hash);
    putNumber(out, file.restart->events);
  }
  const Contribution& contribution = file.contribution;
  putNumber(out, contribution.bodyAt.size());
  out += contribution.bodies;
  putNumber(out, contribution.eventCount);
  putText(out, contribution.events);
}

std::shared_ptr<const FileState> fileOf(ByteReader& in) {
  auto file = std::make_shared<FileState>();
  file->path = in.text();
  // A log's name alone (A-MMDDYYYY.log) is longer: so an entry is never much smaller than what
  // it is parsed into.
  if (file->path.size() < kShortestLogName) throw StateDamaged("a path no log has");
  file->codePage = in.text();
  file->identity.volume = in.number();
  file->identity.file = in.number();
  file->identity.size = in.number();
  file->identity.modified = in.signedNumber();
  file->headHash = in.fixed();
  file->endHash = in.fixed();
  const std::uint64_t restart = in.number();
  if (restart > 1) throw StateDamaged("a file's entry is not one");
  if (restart == 1) {
    RestartPoint& point = file->restart.emplace();
    point.offset = in.number();
    point.line = in.number();
    point.hash = in.fixed();
    point.events = in.number();
    if (point.offset > file->identity.size) throw StateDamaged("a place past its file's end");
  }
  Contribution& contribution = file->contribution;
  // A body is at least its number, its cut lines and four lengths.
  contribution.bodyAt.resize(in.count(6));
  const std::size_t bodiesFrom = in.at();
  for (std::size_t& at : contribution.bodyAt) {
    at = in.at() - bodiesFrom;
    takeBody(in);
  }
  contribution.bodies = in.since(bodiesFrom);
  contribution.eventCount = in.number();
  contribution.events = in.text();
  // An event is at least two bytes; then each is followed, so none points anywhere but into its file.
  if (contribution.eventCount > contribution.events.size() / 2) throw StateDamaged("more events than bytes");
  if (file->restart && file->restart->events > contribution.eventCount) throw StateDamaged("a place past its events");
  EventDecoder decoder(contribution);
  while (decoder.skip()) {
  }
  if (decoder.cursor().at != contribution.events.size()) throw StateDamaged("bytes after a file's events");
  return file;
}

}  // namespace

std::vector<std::shared_ptr<const FileState>> parseLogState(std::string_view bytes) {
  if (!bytes.starts_with(kStateMagic)) throw StateRefused("is not a state of orvacct logs");
  const std::size_t lineEnd = bytes.find('\n');
  const std::string_view version = bytes.substr(kStateMagic.size(), lineEnd == std::string_view::npos ? 0 : lineEnd - kStateMagic.size());
  if (lineEnd == std::string_view::npos || version != std::to_string(kStateVersion)) {
    throw StateRefused("is a state of another version of orvacct (its format " +
                       std::string(version.substr(0, 16)) + ", this one's " + std::to_string(kStateVersion) + ")");
  }
  try {
    ByteReader in(bytes.substr(lineEnd + 1));
    const std::uint64_t checksum = in.fixed();
    const std::string_view rest = bytes.substr(lineEnd + 1 + 8);
    if (bytesChecksum(rest) != checksum) throw StateDamaged("its checksum does not match");
    ByteReader entries(rest);
    // An entry is at least forty bytes.
    std::vector<std::shared_ptr<const FileState>> files(entries.count(40));
    for (auto& file : files) file = fileOf(entries);
    if (!entries.done()) throw StateDamaged("bytes after its last entry");
    return files;
  } catch (const StateDamaged& e) {
    throw StateRefused(std::string("is damaged (") + e.what() + ")");
  }
}

std::string serializedLogState(const std::vector<std::shared_ptr<const FileState>>& files) {
  // Written in one string, its checksum put in place at the end: a state is as large as a tenth
  // of the share, and a second copy of it would double what a run holds.
  std::string out = versionLine();
  // Room for it all at once: a string that grows by doubling holds its old bytes and twice as
  // many while it moves.
  std::size_t size = out.size() + 32;
  for (const auto& file : files) {
    size += file->path.size() + file->codePage.size() + file->contribution.bodies.size() +
            file->contribution.events.size() + 128;
  }
  out.reserve(size);
  const std::size_t checksumAt = out.size();
  putFixed(out, 0);
  const std::size_t restAt = out.size();
  putNumber(out, files.size());
  for (const auto& file : files) putFile(out, *file);
  std::string checksum;
  putFixed(checksum, bytesChecksum(std::string_view(out).substr(restAt)));
  out.replace(checksumAt, checksum.size(), checksum);
  return out;
}

}  // namespace orvacct::logs
