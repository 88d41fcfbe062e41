#pragma once
// What the log reading's parts share: the roots and filters a scan is given, the log files it
// finds, the consumer it hands records to, what it counts and whom it tells, and the keys that
// group records.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/record_reader.h"
#include "text/code_page.h"

namespace orvacct::logs {

struct Filters {
  std::optional<int> since, until;       // days, both inclusive
  std::vector<std::u16string> apps;      // lower case
  std::vector<std::u16string> machines;  // lower case
  std::vector<std::int32_t> numbers;

  bool acceptsFile(std::u16string_view app, int days) const;
  bool acceptsMachine(std::u16string_view machine) const;
  bool acceptsNumber(std::int32_t number) const;
};

// A path given on the command line, and the code page the logs under it were written in.
struct Root {
  std::string path;  // UTF-8, as given
  std::shared_ptr<const orv::text::CodePage> codePage;
};

// A log file as found.
struct LogFile {
  std::string pathText;  // UTF-8, as it is shown
  std::string folder;    // the folder holding it, UTF-8
  std::string app;       // as its name has it, UTF-8
  std::string machine;   // the first folder below the root, or the root's own name, UTF-8
  int days = 0;          // its name's date
  const orv::text::CodePage* codePage = nullptr;
};

class LogConsumer {
 public:
  virtual void beginFile(const LogFile& file) = 0;
  virtual void record(const LogFile& file, const orv::log::ReadRecord& record) = 0;
  // A record lost to damage (its number, say, cannot be trusted: only its file is known).
  virtual void damaged(const LogFile& file, const orv::log::ReadProblem& problem) = 0;
  virtual void endFile(const LogFile& file) = 0;
  // Something under the roots not read, or not read to its end, in the words the problem sink is
  // given for it: "cannot read PATH: REASON", "PATH: not read: a link ...".
  virtual void notRead(std::string_view /*what*/) {}

 protected:
  ~LogConsumer() = default;
};

// What a scan read, for the exit status and for saying that filters matched nothing.
struct ScanCounts {
  bool allRead = true;  // nothing under the roots was left unread
  std::uint64_t filesRead = 0;
  std::uint64_t recordsRead = 0;  // whole records in the files read, before --number
  std::uint64_t recordsKept = 0;  // those the consumer was given
  std::uint64_t damaged = 0;
  std::uint64_t notRead = 0;  // files and folders under the roots that could not be read
};

// Told how a scan goes, on the thread that runs it: each file found for reading with its size,
// each file once it is read (its records told), and the end of the reading.
class ScanProgress {
 public:
  virtual void found(std::uint64_t bytes) = 0;
  virtual void read(std::uint64_t bytes) = 0;
  virtual void finished() = 0;

 protected:
  ~ScanProgress() = default;
};

// Told, on the thread that runs the scan and in the order of a reading on one thread, what could
// not be read and what is damaged; the tool writes each as a line on standard error.
class ProblemSink {
 public:
  // "cannot read PATH: REASON", "PATH: not read: a link ...", or a note on the figures.
  virtual void problem(std::string_view message) = 0;
  // Damage at a line of a file.
  virtual void problemAt(std::string_view file, std::uint64_t line, std::string_view message) = 0;

 protected:
  ~ProblemSink() = default;
};

// How a scan runs and whom it tells.
struct ScanSettings {
  ProblemSink& problems;
  unsigned threads = 0;              // files read at once; 0 for one per processor
  ScanProgress* progress = nullptr;  // null when nobody is told
};

// The keys records are grouped by (summary --by, check --by).
enum class GroupBy { App, Machine, Number, Module, Procedure, Version, Day, Week, Month };

}  // namespace orvacct::logs
