#pragma once
// The file operations of the log writer and the purge. Paths are the component's 16-bit text.
#include <cstdint>
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

// Every writer of a log holds this one byte exclusively around its append, because not every
// platform's append is atomic (Wine's, network shares). It lies far beyond the end of any real
// log, so no lock on the content meets it, and below 2^63, so that Wine and Samba carry it over
// to a POSIX lock that the Linux writers' lock meets.
inline constexpr std::uint64_t kAppendLockOffset = 0x7FFF'FFFF'0000'0000;

// What became of an append. Each failure is an answer, not an exception: a file that cannot be
// opened is expected before an application's first record (its Logs folder is missing), and
// the caller decides what each one means.
enum class AppendOutcome { Appended, NotOpened, NotWritten, NotClosed };

// Appends the bytes at the end of the file, creating it when missing, holding the append lock
// meanwhile, so that records of concurrent writers never interleave or overwrite each other.
[[nodiscard]] AppendOutcome appendWhole(const std::u16string& file, std::string_view bytes);

// Names of the plain files directly in the folder (no sub-folders).
std::vector<std::u16string> fileNamesIn(const std::u16string& folder);

// A read-only file: on Windows the attribute; elsewhere no write permission bit at all.
bool isReadOnly(const std::u16string& file);

// Deletes without force; false when the file stays.
bool deleteFile(const std::u16string& file);

}  // namespace orv::log
