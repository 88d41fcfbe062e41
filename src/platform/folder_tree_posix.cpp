// Every folder is opened relative to the one above it with O_NOFOLLOW, so no link is ever
// followed and no path is ever longer than one name. Only some levels keep their folder open
// (the first ones, then one in sixteen), so a deep tree does not run out of descriptors: a
// closed level is opened again name by name from the nearest open one above it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/file_kind_posix.h"
#include "platform/folder_tree.h"
#include "platform/system_failure.h"

namespace orv::platform {
namespace {

constexpr std::size_t kAlwaysOpen = 32;
constexpr std::size_t kOpenEvery = 16;

bool keepsOpen(std::size_t level) { return level < kAlwaysOpen || level % kOpenEvery == 0; }

UniqueFd openFolderAt(int at, const char* name) {
  UniqueFd fd(::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
  if (!fd) throwErrno();
  return fd;
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

void setType(FolderEntry& entry, mode_t mode) {
  if (S_ISDIR(mode)) {
    entry.type = EntryType::Folder;
  } else if (S_ISREG(mode)) {
    entry.type = EntryType::File;
  } else if (S_ISLNK(mode)) {
    entry.type = EntryType::Link;
  } else {
    entry.type = EntryType::Other;
    entry.kind = fileKindOf(mode);
  }
}

}  // namespace

struct FolderTree::Level {
  NativeName name;
  UniqueFd fd;  // closed on levels that do not keep their folder open, once the walk is below them
  std::error_code gone;  // why the folder could not be opened again after the walk came back up

  int folder() const {
    if (gone) throw std::system_error(gone);
    return fd.get();
  }
};

FolderTree::FolderTree(const std::filesystem::path& root) {
  UniqueFd fd(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK));
  if (!fd) throwErrno();
  levels_.push_back({root.native(), std::move(fd), {}});
}

FolderTree::~FolderTree() = default;

std::size_t FolderTree::depth() const { return levels_.size() - 1; }

std::vector<FolderEntry> FolderTree::entries() {
  const int folder = levels_.back().folder();
  const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) throwErrno();
  const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(copy));
  if (!dir) {
    const int error = errno;
    ::close(copy);
    throw std::system_error(error, std::generic_category());
  }
  // The copy shares the level's read position, which an earlier listing left at the end.
  ::rewinddir(dir.get());
  std::vector<FolderEntry> found;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) throwErrno();
      break;
    }
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    FolderEntry& item = found.emplace_back();
    item.name = entry->d_name;
    switch (entry->d_type) {
      case DT_DIR:
        item.type = EntryType::Folder;
        continue;
      case DT_REG:
        item.type = EntryType::File;
        continue;
      case DT_LNK:
        item.type = EntryType::Link;
        continue;
      default:
        break;
    }
    // The type is not in the folder's entry (or is something rare): asked of the entry itself.
    struct stat status {};
    if (::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
      item.error = std::error_code(errno, std::generic_category());
    } else {
      setType(item, status.st_mode);
    }
  }
  return found;
}

ReadableFile FolderTree::openFile(const NativeName& name) {
  UniqueFd fd(::openat(levels_.back().folder(), name.c_str(),
                       O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd) {
    if (errno == ELOOP) throw NotARegularFile("a link");
    throwErrno();
  }
  return ReadableFile(std::move(fd));
}

void FolderTree::enter(const NativeName& name) {
  UniqueFd fd = openFolderAt(levels_.back().folder(), name.c_str());
  if (!keepsOpen(depth())) levels_.back().fd.close();
  levels_.push_back({name, std::move(fd), {}});
}

void FolderTree::leave() {
  if (levels_.size() == 1) return;
  levels_.pop_back();
  Level& current = levels_.back();
  if (current.fd || current.gone) return;
  // Opened again name by name from the nearest level still open.
  std::size_t open = levels_.size() - 1;
  while (!levels_[open].fd) --open;
  try {
    UniqueFd fd;
    for (std::size_t level = open + 1; level < levels_.size(); ++level) {
      fd = openFolderAt(level == open + 1 ? levels_[open].folder() : fd.get(), levels_[level].name.c_str());
    }
    current.fd = std::move(fd);
  } catch (const std::system_error& e) {
    // Moved or removed while the walk was below it: told when the walk next needs it.
    current.gone = e.code();
  }
}

}  // namespace orv::platform
