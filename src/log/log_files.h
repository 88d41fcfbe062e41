#pragma once
// The file operations of the log writer and the purge. Paths are the component's 16-bit text.
#include <string>
#include <string_view>
#include <vector>

namespace orv::log {

#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

bool folderExists(const std::u16string& folder);

// Creates one level; throws Failure when it cannot.
void createFolder(const std::u16string& folder);

// Appends the bytes with a single write, creating the file when missing, so that records of
// concurrent writers never interleave. False when the file cannot be opened (its folder may
// be missing); throws Failure when the write itself fails.
bool appendWhole(const std::u16string& file, std::string_view bytes);

// Names of the plain files directly in the folder (no sub-folders).
std::vector<std::u16string> fileNamesIn(const std::u16string& folder);

// A read-only file: on Windows the attribute; elsewhere no write permission bit at all.
bool isReadOnly(const std::u16string& file);

// Deletes without force; false when the file stays.
bool deleteFile(const std::u16string& file);

}  // namespace orv::log
