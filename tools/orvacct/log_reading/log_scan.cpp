// Roots are walked folder by folder: a folder's log files in the order of application and date,
// then its sub-folders by name, so the same tree gives the same output. The walk keeps only the
// names of the sub-folders still to visit on its way down, and never leaves the tree: links below
// a root are named and not followed (a share may link back up, or out to anywhere).
#include "log_reading/log_scan.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <tuple>

#include "log/error_log.h"
#include "log_reading/ordered_reading.h"
#include "platform/folder_tree.h"
#include "text/lower_case.h"
#include "text/utf.h"

namespace orvacct::logs {
namespace {

namespace fs = std::filesystem;
using orv::platform::EntryType;
using orv::platform::FolderEntry;
using orv::platform::FolderTree;
using orv::platform::NativeName;

#ifdef _WIN32
constexpr char kSeparator = '\\';
std::u16string textOf(const NativeName& name) { return {name.begin(), name.end()}; }
fs::path pathOf(const std::string& utf8) { return fs::path(orv::text::fromUtf8(utf8)); }
#else
constexpr char kSeparator = '/';
std::u16string textOf(const NativeName& name) { return orv::text::fromUtf8(name); }  // not UTF-8: U+FFFD
fs::path pathOf(const std::string& utf8) { return fs::path(utf8); }
#endif

std::string utf8Of(const NativeName& name) { return orv::text::toUtf8(textOf(name)); }

std::string joined(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/' && path.back() != kSeparator) path += kSeparator;
  path += name;
  return path;
}

// The root's own name, for logs that sit directly in it: "PC07" for "/srv/gathered/PC07/".
std::string ownName(const fs::path& root) {
  std::error_code error;
  fs::path absolute = fs::absolute(root, error).lexically_normal();
  if (!absolute.has_filename()) absolute = absolute.parent_path();
  return orv::text::toUtf8(textOf(absolute.filename().native()));
}

// Reading: takes file(LogFile, ReadableFile) and problem(std::string), in the walk's order.
template <class Reading>
class Walk {
 public:
  Walk(const Filters& filters, Reading& reading) : filters_(filters), reading_(reading) {}

  void root(const Root& root) {
    codePage_ = root.codePage.get();
    const fs::path path = pathOf(root.path);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) return cannotRead(root.path, error.message());
    if (fs::is_directory(status)) return tree(path, root.path);
    fileRoot(path, root.path);
  }

 private:
  // A file given by name: read when it is named as a log, whatever its folder.
  void fileRoot(const fs::path& path, const std::string& shown) {
    const std::u16string name = textOf(path.filename().native());
    const auto parts = orv::log::parseLogFileName(name);
    if (!parts) return reading_.problem("cannot read " + shown + ": not named as a log file (APPLICATION-MMDDYYYY.log)");
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    LogFile file = logFile(shown, pathText(folder), *parts, ownName(folder));
    if (!filters_.acceptsFile(parts->application, file.days)) return;
    if (!filters_.acceptsMachine(orv::text::fromUtf8(file.machine))) return;
    try {
      reading_.file(std::move(file), orv::platform::ReadableFile::open(path));
    } catch (const orv::platform::NotARegularFile& e) {
      reading_.problem(shown + ": not read: " + e.what() + ", not a plain file");
    } catch (const std::system_error& e) {
      cannotRead(shown, e.code().message());
    }
  }

  static std::string pathText(const fs::path& path) { return orv::text::toUtf8(textOf(path.native())); }

  LogFile logFile(const std::string& shown, std::string folder, const orv::log::LogFileNameParts& parts,
                  std::string machine) const {
    return LogFile{shown, std::move(folder), orv::text::toUtf8(parts.application), std::move(machine),
                   orv::log::dayNumber(parts.date), codePage_};
  }

  // The folders still to visit at one level of the walk, the next last.
  struct Level {
    std::vector<NativeName> folders;
    std::string path;     // as shown
    std::string machine;  // of the logs below it
  };

  void tree(const fs::path& path, const std::string& shown) {
    std::optional<FolderTree> tree;
    try {
      tree.emplace(path);
    } catch (const std::system_error& e) {
      return cannotRead(shown, e.code().message());
    }
    // Logs that sit in the root itself are its own machine's.
    const std::string machine = ownName(path);
    std::vector<Level> levels;
    levels.push_back(folder(*tree, shown, machine, filters_.acceptsMachine(orv::text::fromUtf8(machine))));
    while (!levels.empty()) {
      Level& level = levels.back();
      if (level.folders.empty()) {
        levels.pop_back();
        if (!levels.empty()) tree->leave();
        continue;
      }
      const NativeName name = std::move(level.folders.back());
      level.folders.pop_back();
      const std::string path = joined(level.path, utf8Of(name));
      // The folders of the root are the machines the logs were gathered from.
      const bool machineFolder = levels.size() == 1;
      if (machineFolder && !filters_.acceptsMachine(textOf(name))) continue;
      try {
        tree->enter(name);
      } catch (const std::system_error& e) {
        cannotRead(path, e.code().message());
        continue;
      }
      levels.push_back(folder(*tree, path, machineFolder ? utf8Of(name) : level.machine, true));
    }
  }

  // Reads the folder's log files (when readFiles) and gives back its sub-folders.
  Level folder(FolderTree& tree, const std::string& path, const std::string& machine, bool readFiles) {
    Level level{{}, path, machine};
    std::vector<FolderEntry> entries;
    try {
      entries = tree.entries();
    } catch (const std::system_error& e) {
      cannotRead(path, e.code().message());
      return level;
    }
    struct Found {
      NativeName name;
      std::u16string app;
      int days;
    };
    std::vector<Found> files;
    for (FolderEntry& entry : entries) {
      switch (entry.type) {
        case EntryType::Folder:
          level.folders.push_back(std::move(entry.name));
          continue;
        case EntryType::Link:
          reading_.problem(joined(path, utf8Of(entry.name)) + ": not read: a link (links are not followed)");
          continue;
        case EntryType::Unknown:
          cannotRead(joined(path, utf8Of(entry.name)), entry.error.message());
          continue;
        case EntryType::File:
        case EntryType::Other:
          break;
      }
      const std::u16string name = textOf(entry.name);
      const auto parts = orv::log::parseLogFileName(name);
      if (!parts || !readFiles) continue;  // not a log: left alone
      if (entry.type == EntryType::Other) {
        reading_.problem(joined(path, utf8Of(entry.name)) + ": not read: " + entry.kind + ", not a plain file");
        continue;
      }
      const int days = orv::log::dayNumber(parts->date);
      if (!filters_.acceptsFile(parts->application, days)) continue;
      files.push_back({std::move(entry.name), std::u16string(parts->application), days});
    }
    std::sort(files.begin(), files.end(),
              [](const Found& a, const Found& b) { return std::tie(a.app, a.days) < std::tie(b.app, b.days); });
    for (const Found& found : files) {
      const std::string shown = joined(path, utf8Of(found.name));
      LogFile file{shown, path, orv::text::toUtf8(found.app), machine, found.days, codePage_};
      try {
        reading_.file(std::move(file), tree.openFile(found.name));
      } catch (const orv::platform::NotARegularFile& e) {
        reading_.problem(shown + ": not read: " + e.what() + ", not a plain file");
      } catch (const std::system_error& e) {
        cannotRead(shown, e.code().message());
      }
    }
    // Visited by name, the first last off the list.
    std::sort(level.folders.begin(), level.folders.end(), std::greater<>());
    return level;
  }

  void cannotRead(const std::string& path, const std::string& reason) {
    reading_.problem("cannot read " + path + ": " + reason);
  }

  const Filters& filters_;
  Reading& reading_;
  const orv::text::CodePage* codePage_ = nullptr;
};

// The files a walk finds, listed and closed, to be read in another order; what cannot be read
// is told as the walk meets it.
class FileList {
 public:
  explicit FileList(OrderedReading& reading) : reading_(reading) {}
  void file(LogFile file, orv::platform::ReadableFile) { files.push_back(std::move(file)); }
  void problem(std::string message) { reading_.problem(std::move(message)); }

  std::vector<LogFile> files;

 private:
  OrderedReading& reading_;
};

bool listed(const std::vector<std::u16string>& lowered, std::u16string_view text) {
  return lowered.empty() || std::find(lowered.begin(), lowered.end(), orv::text::lowerCase(text)) != lowered.end();
}

}  // namespace

bool Filters::acceptsFile(std::u16string_view app, int days) const {
  if ((since && days < *since) || (until && days > *until)) return false;
  return listed(apps, app);
}

bool Filters::acceptsMachine(std::u16string_view machine) const { return listed(machines, machine); }

bool Filters::acceptsNumber(std::int32_t number) const {
  return numbers.empty() || std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

ScanCounts scanLogs(const std::vector<Root>& roots, const Filters& filters, LogConsumer& consumer,
                    const ScanSettings& settings) {
  ScanCounts counts;
  OrderedReading reading(settings, filters, consumer, counts);
  Walk walk(filters, reading);
  for (const Root& root : roots) walk.root(root);
  reading.finish();
  return counts;
}

ScanCounts scanLogsByDay(const std::vector<Root>& roots, const Filters& filters, LogConsumer& consumer,
                         const ScanSettings& settings) {
  ScanCounts counts;
  OrderedReading reading(settings, filters, consumer, counts);
  FileList list(reading);
  Walk walk(filters, list);
  for (const Root& root : roots) walk.root(root);
  std::stable_sort(list.files.begin(), list.files.end(),
                   [](const LogFile& a, const LogFile& b) { return a.days < b.days; });
  for (LogFile& file : list.files) {
    std::optional<orv::platform::ReadableFile> handle;
    try {
      handle.emplace(orv::platform::ReadableFile::open(pathOf(file.pathText)));
    } catch (const orv::platform::NotARegularFile& e) {
      reading.problem(file.pathText + ": not read: " + e.what() + ", not a plain file");
      continue;
    } catch (const std::system_error& e) {
      reading.problem("cannot read " + file.pathText + ": " + e.code().message());
      continue;
    }
    reading.file(std::move(file), std::move(*handle));
  }
  reading.finish();
  return counts;
}

}  // namespace orvacct::logs
