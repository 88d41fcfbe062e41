#pragma once
// A walk down a tree of folders that never leaves it: links below the root (symbolic links, and
// on Windows junctions and every other reparse point) are told apart and never followed, and a
// tree of any depth is walked, not given up on at the system's path length limit (POSIX: relative
// to open folders; Windows: \\?\ paths). Only the root given by the user may be a link.
#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/readable_file.h"

namespace orv::platform {

// A name as the file system has it: bytes on POSIX, UTF-16 on Windows.
using NativeName = std::filesystem::path::string_type;

enum class EntryType { Folder, File, Link, Other, Unknown };

struct FolderEntry {
  NativeName name;
  EntryType type = EntryType::Unknown;
  const char* kind = "";  // Other: what it is ("a FIFO", "a device", "a socket")
  std::error_code error;  // Unknown: why its type could not be read
};

class FolderTree {
 public:
  // Opens the root folder. Throws std::system_error.
  explicit FolderTree(const std::filesystem::path& root);
  ~FolderTree();
  FolderTree(const FolderTree&) = delete;
  FolderTree& operator=(const FolderTree&) = delete;

  // The entries of the folder the walk is in, in the order the system gives them. Throws
  // std::system_error when the folder cannot be read.
  std::vector<FolderEntry> entries();

  // A plain file of the folder the walk is in; a link is not followed. Throws std::system_error,
  // or NotARegularFile when it is something else.
  ReadableFile openFile(const NativeName& name);

  // Into a sub-folder of the folder the walk is in; a link is not followed. Throws
  // std::system_error, and the walk stays where it was.
  void enter(const NativeName& name);
  // Back to the folder above; never above the root.
  void leave();

  std::size_t depth() const;

 private:
  struct Level;
  std::vector<Level> levels_;
};

}  // namespace orv::platform
