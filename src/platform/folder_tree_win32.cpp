// Windows has no folder-relative opening for programs like this one: the walk keeps the folder's
// \\?\ path, which has no length limit worth the name (32,767 characters). Reparse points
// (symbolic links, junctions, mount points, cloud placeholders that are links) are reported as
// links and never entered or read: a junction back up would make the walk endless.
#include <windows.h>

#include "platform/folder_tree.h"
#include "platform/system_failure_win32.h"

namespace orv::platform {
namespace {

struct FindCloser {
  static bool close(HANDLE handle) noexcept { return FindClose(handle) != FALSE; }
};
using UniqueFind = UniqueResource<HANDLE, FindCloser::close, invalidHandle>;

// The root as a \\?\ path: absolute, without a separator at the end but a drive's root's.
std::wstring extendedPath(const std::filesystem::path& root) {
  const std::wstring given = root.native();
  if (given.starts_with(L"\\\\?\\")) return given;
  const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) throwLastError();
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) throwLastError();
  full.resize(length);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// A name within a folder. A drive's root keeps its separator (\\?\D:\), and \\?\ paths are
// taken as written, so a doubled separator would name nothing.
std::wstring childOf(const std::wstring& folder, std::wstring_view name) {
  std::wstring path = folder;
  if (!path.ends_with(L'\\')) path += L'\\';
  path += name;
  return path;
}

bool isLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

}  // namespace

struct FolderTree::Level {
  NativeName name;
  std::wstring path;  // \\?\ path of the folder
};

FolderTree::FolderTree(const std::filesystem::path& root) {
  std::wstring path = extendedPath(root);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) throwLastError();
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) throw std::system_error(ERROR_DIRECTORY, std::system_category());
  levels_.push_back({root.native(), std::move(path)});
}

FolderTree::~FolderTree() = default;

std::size_t FolderTree::depth() const { return levels_.size() - 1; }

std::vector<FolderEntry> FolderTree::entries() {
  const std::wstring pattern = childOf(levels_.back().path, L"*");
  WIN32_FIND_DATAW data{};
  UniqueFind find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH));
  std::vector<FolderEntry> found;
  if (!find) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return found;
    throwLastError();
  }
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    FolderEntry& entry = found.emplace_back();
    entry.name = name;
    if (isLink(data.dwFileAttributes)) {
      entry.type = EntryType::Link;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entry.type = EntryType::Folder;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
      entry.type = EntryType::Other;
      entry.kind = "a device";
    } else {
      entry.type = EntryType::File;
    }
  } while (FindNextFileW(find.get(), &data));
  if (GetLastError() != ERROR_NO_MORE_FILES) throwLastError();
  return found;
}

ReadableFile FolderTree::openFile(const NativeName& name) {
  const std::wstring path = childOf(levels_.back().path, name);
  // The reparse point itself, should the file have become a link since the folder was listed.
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr));
  if (!file) throwLastError();
  BY_HANDLE_FILE_INFORMATION information{};
  if (GetFileInformationByHandle(file.get(), &information) && isLink(information.dwFileAttributes)) {
    throw NotARegularFile("a link");
  }
  return ReadableFile(std::move(file));
}

void FolderTree::enter(const NativeName& name) {
  std::wstring path = childOf(levels_.back().path, name);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) throwLastError();
  if (isLink(attributes) || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    throw std::system_error(ERROR_DIRECTORY, std::system_category());
  }
  levels_.push_back({name, std::move(path)});
}

void FolderTree::leave() {
  if (levels_.size() > 1) levels_.pop_back();
}

}  // namespace orv::platform
