#pragma once
// An open file as a later run knows it again: which file it is, how long, and when it last
// changed; and reads of it at given places, for looking at parts of it without reading it all.
#include <cstddef>
#include <cstdint>

#include "platform/readable_file.h"

namespace orv::platform {

struct FileIdentity {
  std::uint64_t volume = 0, file = 0;  // device and inode, or volume serial number and file index
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // in the system's own unit (ns, or 100 ns on Windows)

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
  bool sameFile(const FileIdentity& other) const { return volume == other.volume && file == other.file; }
};

// Throws std::system_error.
FileIdentity identityOf(const ReadableFile& file);

// Up to size bytes from offset, fewer only at the end; where the next read() starts is then not
// known. Throws std::system_error.
std::size_t readAt(ReadableFile& file, std::uint64_t offset, char* data, std::size_t size);

// The next read() starts at offset. Throws std::system_error.
void seekTo(ReadableFile& file, std::uint64_t offset);

}  // namespace orv::platform
