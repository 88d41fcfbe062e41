#pragma once
// A scan with a state (--state FILE): each log file that is as it was when the state was saved
// gives what it gave then, without being read; a file that grew is read from the start of its
// last record on; a file not seen before, or changed in any other way, is read whole. What the
// consumers get is what a reading of every file would give them, in the same order.
//
// The state is locked for the whole run (a lock file beside it), so two runs on one state
// cannot both save it: the second is refused at once.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "log_reading/log_state.h"
#include "log_reading/log_types.h"
#include "platform/file_lock.h"
#include "platform/readable_file.h"

namespace orvacct::logs {

// One file's reading with what the state holds of it.
class StatefulFileReading {
 public:
  StatefulFileReading(const LogFile& file, std::shared_ptr<const FileState> previous)
      : path_(file.pathText), codePage_(file.codePage), previous_(std::move(previous)) {}

  // Whether the file is as the state holds it (its identity, size, time and hashed bytes), so
  // that read() reads nothing. False when that cannot be told.
  bool unchanged(orv::platform::ReadableFile& handle);
  // What the file gives, to the sink, as reader.read would give it. Throws as it does.
  void read(orv::log::LogFileReader& reader, orv::platform::ReadableFile& handle, orv::log::RecordSink& sink);
  // What to keep of the file: null unless it was read to its end and did not change meanwhile.
  const std::shared_ptr<const FileState>& result() const { return result_; }
  const std::string& path() const { return path_; }

 private:
  void settle(orv::log::LogFileReader& reader, orv::platform::ReadableFile& handle,
              const orv::platform::FileIdentity& identity, std::shared_ptr<FileState> state,
              const std::vector<EventCursor>& lastCursors);
  std::string codePageName() const;

  std::string path_;
  const orv::text::CodePage* codePage_;
  std::shared_ptr<const FileState> previous_;
  std::shared_ptr<const FileState> result_;
  std::optional<bool> unchanged_;
};

class ScanState {
 public:
  // Takes the lock (StateBusy when another run holds it) and reads the state, unless
  // rebuild; a missing state is an empty one. Throws StateRefused for one not to be used.
  ScanState(const std::filesystem::path& path, bool rebuild);

  // For a file about to be read, on the thread that gives the files.
  std::shared_ptr<StatefulFileReading> reading(const LogFile& file);
  // The state to save: the files read now, and those left out of this run (by its paths or
  // filters) that are still there; nullopt when that is what was read, unchanged.
  std::optional<std::string> serialized() const;

 private:
  std::optional<orv::platform::FileLock> lock_;
  bool rebuild_;
  std::vector<std::shared_ptr<const FileState>> previous_;
  std::unordered_map<std::string, std::shared_ptr<const FileState>> byPath_;
  std::vector<std::shared_ptr<StatefulFileReading>> readings_;
};

// Another run holds the state's lock.
class StateBusy : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orvacct::logs
