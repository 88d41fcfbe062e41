// Paths are walked folder by folder, files in the order of application and date, then the
// sub-folders by name: the same tree gives the same output, and only one folder's names are
// held at a time. Links to folders are not followed (a share may link back up).
#include "logs/log_scan.h"

#include <algorithm>
#include <tuple>
#include <iostream>
#include <system_error>

#include "log/error_log.h"
#include "text/lower_case.h"
#include "text/utf.h"

namespace orvacct::logs {
namespace {

namespace fs = std::filesystem;

std::string shown(const fs::path& path) {
#ifdef _WIN32
  return orv::text::toUtf8(path.u16string());
#else
  return orv::text::toUtf8(orv::text::fromUtf8(path.native()));  // names that are not UTF-8 get U+FFFD
#endif
}

std::u16string nameOf(const fs::path& path) {
#ifdef _WIN32
  return path.filename().u16string();
#else
  return orv::text::fromUtf8(path.filename().native());
#endif
}

void cannotRead(const fs::path& path, const std::string& reason) {
  std::cerr << "orvacct: cannot read " << shown(path) << ": " << reason << "\n";
}

// Tells each problem as FILE:LINE: and counts lost records for the consumer.
class FileSink final : public orv::log::RecordSink {
 public:
  FileSink(const LogFile& file, const Filters& filters, LogConsumer& consumer)
      : file_(file), filters_(filters), consumer_(consumer) {}

  void record(const orv::log::ReadRecord& record) override {
    if (filters_.acceptsNumber(record.number)) consumer_.record(file_, record);
  }
  void problem(const orv::log::ReadProblem& problem) override {
    std::cerr << file_.pathText << ':' << problem.line << ": " << orv::log::describe(problem) << "\n";
    if (problem.losesRecord()) consumer_.damaged(file_);
  }

 private:
  const LogFile& file_;
  const Filters& filters_;
  LogConsumer& consumer_;
};

class Scanner {
 public:
  Scanner(const Filters& filters, LogConsumer& consumer) : filters_(filters), consumer_(consumer) {}

  void path(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) return fail(path, error.message());
    if (fs::is_directory(status)) return folder(path);
    const auto file = logFile(path);
    if (!file) return fail(path, "not named as a log file (APPLICATION-MMDDYYYY.log)");
    if (filters_.acceptsFile(orv::text::fromUtf8(file->app), file->days)) read(*file);
  }

  bool allRead() const { return allRead_; }

 private:
  struct Found {
    LogFile file;
    std::u16string app;
  };

  std::optional<LogFile> logFile(const fs::path& path) const {
    const std::u16string name = nameOf(path);
    const auto parts = orv::log::parseLogFileName(name);
    if (!parts) return std::nullopt;
    return LogFile{path, shown(path), shown(path.parent_path()), orv::text::toUtf8(parts->application),
                   orv::log::dayNumber(parts->date)};
  }

  void folder(const fs::path& folder) {
    std::vector<Found> files;
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      std::error_code typeError;
      const fs::file_status status = it->symlink_status(typeError);
      if (fs::is_directory(status)) {
        folders.push_back(it->path());
      } else if (auto file = logFile(it->path())) {
        std::u16string app = orv::text::fromUtf8(file->app);
        if (filters_.acceptsFile(app, file->days)) files.push_back({std::move(*file), std::move(app)});
      }
    }
    if (error) return fail(folder, error.message());
    std::sort(files.begin(), files.end(), [](const Found& a, const Found& b) {
      return std::tie(a.app, a.file.days) < std::tie(b.app, b.file.days);
    });
    std::sort(folders.begin(), folders.end());
    for (const Found& found : files) read(found.file);
    for (const fs::path& sub : folders) this->folder(sub);
  }

  void read(const LogFile& file) {
    consumer_.beginFile(file);
    FileSink sink(file, filters_, consumer_);
    try {
      reader_.read(file.path, sink);
    } catch (const std::system_error& e) {
      fail(file.path, e.code().message());
    }
    consumer_.endFile(file);
  }

  void fail(const fs::path& path, const std::string& reason) {
    cannotRead(path, reason);
    allRead_ = false;
  }

  const Filters& filters_;
  LogConsumer& consumer_;
  orv::log::LogFileReader reader_;
  bool allRead_ = true;
};

}  // namespace

bool Filters::acceptsFile(std::u16string_view app, int days) const {
  if ((since && days < *since) || (until && days > *until)) return false;
  if (apps.empty()) return true;
  const std::u16string lowered = orv::text::lowerCase(app);
  return std::find(apps.begin(), apps.end(), lowered) != apps.end();
}

bool Filters::acceptsNumber(std::int32_t number) const {
  return numbers.empty() || std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

bool scanLogs(const std::vector<std::string>& paths, const Filters& filters, LogConsumer& consumer) {
  Scanner scanner(filters, consumer);
  for (const std::string& path : paths) {
#ifdef _WIN32
    scanner.path(fs::path(orv::text::fromUtf8(path)));
#else
    scanner.path(fs::path(path));
#endif
  }
  return scanner.allRead();
}

}  // namespace orvacct::logs
