#pragma once
// Whole files to and from cipher data, streamed in chunks so memory stays constant; the
// destination is the same bytes the whole-file algorithm writes, and it changes only when
// the operation succeeds.
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "cipher/blowfish_engine.h"
#include "cipher/progress_rule.h"
#include "cipher/random_words.h"
#include "platform/temporary_name_observer.h"

namespace orv::cipher {

// Bytes of the result as they come, in order (standard output, for instance); throws when
// they cannot be taken.
using ByteSink = std::function<void(std::span<const std::uint8_t>)>;

struct FileJob {
  std::filesystem::path source;
  std::filesystem::path destination;  // may be the source itself
  bool overwrite = false;
  std::size_t chunkSize = std::size_t{1} << 20;  // whole blocks, at least two
  platform::TemporaryNameObserver temporaryNames = {};  // see platform::StagedFile
  // Instead of the source path: an open file, read from its start and borrowed (a private copy
  // of standard input, say). Instead of the destination: a sink, with nothing to replace.
  std::FILE* sourceFile = nullptr;
  ByteSink sink = {};
};

enum class FileOutcome {
  Written,
  SourceMissing,      // the source's length cannot be read
  DestinationExists,  // and overwrite was not asked for
  SourceTooLarge,     // beyond what a size descriptor can hold
  BadCipherData,      // decryption: not whole blocks, or the size descriptor does not fit (wrong key)
  Failed,             // reading or writing failed; detail says why
};

struct FileResult {
  FileOutcome outcome;
  std::string detail;
};

// True when the length of the file at this path can be read.
bool pathExists(const std::filesystem::path& path) noexcept;

FileResult encryptFile(const BlowfishEngine& engine, const FileJob& job, RandomWords words,
                       const ProgressHandler& progress) noexcept;
FileResult decryptFile(const BlowfishEngine& engine, const FileJob& job, const ProgressHandler& progress) noexcept;

}  // namespace orv::cipher
