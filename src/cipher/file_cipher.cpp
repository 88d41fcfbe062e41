#include "cipher/file_cipher.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <optional>
#include <vector>

#include "base/failure.h"
#include "cipher/cipher_data.h"
#include "platform/staged_file.h"
#include "text/utf.h"

namespace orv::cipher {
namespace {

// The source by its path, or the open file the job lends.
class SourceReader {
 public:
  explicit SourceReader(const FileJob& job) : borrowed_(job.sourceFile) {
    if (borrowed_ != nullptr) {
      std::rewind(borrowed_);
      return;
    }
    in_.open(job.source, std::ios::binary);
    if (!in_) throw Failure(error_number::kPathFileAccessError, u"cannot open the source");
  }

  // Exactly size bytes, or a failure: the source changed length while it was read.
  void readExactly(std::uint8_t* into, std::size_t size) {
    std::size_t got = 0;
    if (borrowed_ != nullptr) {
      got = std::fread(into, 1, size, borrowed_);
    } else {
      in_.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(size));
      got = static_cast<std::size_t>(in_.gcount());
    }
    if (got != size) throw Failure(error_number::kPathFileAccessError, u"cannot read the whole source");
  }

  // Before the destination replaces a file: Windows refuses to replace one that is still open,
  // and the source may be that very file.
  void close() { in_.close(); }

 private:
  std::FILE* borrowed_;
  std::ifstream in_;
};

// The destination: a staged file put in place at the end, or the job's sink.
class Destination {
 public:
  explicit Destination(const FileJob& job) : sink_(job.sink) {
    if (!sink_) staged_.emplace(job.destination, job.temporaryNames);
  }
  void write(std::span<const std::uint8_t> bytes) { sink_ ? sink_(bytes) : staged_->write(bytes); }
  // False when the staged file may not replace a destination that exists.
  bool commit(bool mayReplace) { return sink_ || staged_->commit(mayReplace); }

 private:
  ByteSink sink_;
  std::optional<platform::StagedFile> staged_;
};

[[noreturn]] void throwLengthUnreadable() {
  throw Failure(error_number::kPathFileAccessError, u"cannot read the length of the source");
}

std::uintmax_t openFileLength(std::FILE* file) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) throwLengthUnreadable();
  const long long length = _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) throwLengthUnreadable();
  const off_t length = ftello(file);
#endif
  if (length < 0) throwLengthUnreadable();
  return static_cast<std::uintmax_t>(length);
}

std::size_t roundUpToBlock(std::size_t n) { return (n + kBlockSize - 1) / kBlockSize * kBlockSize; }

FileResult destinationExists() { return {FileOutcome::DestinationExists, "the destination exists"}; }

// The checks both directions make before touching anything.
bool preflight(const FileJob& job, std::uintmax_t& sourceLength, FileResult& refusal) {
  std::error_code error;
  if (job.sourceFile != nullptr) {
    sourceLength = openFileLength(job.sourceFile);
  } else {
    sourceLength = std::filesystem::file_size(job.source, error);
  }
  if (error) {
    refusal = {FileOutcome::SourceMissing, "cannot read the length of the source: " + error.message()};
    return false;
  }
  if (!job.sink && !job.overwrite && pathExists(job.destination)) {
    refusal = destinationExists();
    return false;
  }
  return true;
}

FileResult encryptStreaming(const BlowfishEngine& engine, const FileJob& job, RandomWords words,
                            const ProgressHandler& progress) {
  std::uintmax_t plainLength = 0;
  FileResult refusal{};
  if (!preflight(job, plainLength, refusal)) return refusal;
  if (plainLength > kMaxPlainLength) return {FileOutcome::SourceTooLarge, "the source is too large to encrypt"};

  SourceReader source(job);
  Destination destination(job);
  std::vector<std::uint8_t> chunk(job.chunkSize);
  ProgressRule rule(cipherLength(plainLength), progress);
  CbcChain chain;

  // Phase 1: the header opens the first chunk. Phase 2: full chunks of plain bytes.
  // Phase 3: the last, partial chunk, zero-padded to whole blocks.
  writeHeader(std::span<std::uint8_t, kHeaderSize>(chunk.data(), kHeaderSize), words,
              static_cast<std::uint32_t>(plainLength));
  std::size_t filled = kHeaderSize;
  std::uint64_t offset = 0;
  std::uint64_t remaining = plainLength;
  for (;;) {
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size() - filled, remaining));
    source.readExactly(chunk.data() + filled, take);
    filled += take;
    remaining -= take;
    if (remaining == 0) break;
    encryptBlocks(engine, chunk, offset, chain, rule);
    destination.write(chunk);
    offset += chunk.size();
    filled = 0;
  }
  const std::size_t last = roundUpToBlock(filled);
  std::fill(chunk.begin() + static_cast<std::ptrdiff_t>(filled), chunk.begin() + static_cast<std::ptrdiff_t>(last), 0);
  const std::span<std::uint8_t> tail(chunk.data(), last);
  encryptBlocks(engine, tail, offset, chain, rule);
  destination.write(tail);
  source.close();
  // The check above is not the last word: a destination that appeared since is not replaced either.
  if (!destination.commit(job.overwrite)) return destinationExists();
  rule.finish();
  return {FileOutcome::Written, {}};
}

FileResult decryptStreaming(const BlowfishEngine& engine, const FileJob& job, const ProgressHandler& progress) {
  std::uintmax_t cipherLen = 0;
  FileResult refusal{};
  if (!preflight(job, cipherLen, refusal)) return refusal;
  const FileResult damaged{FileOutcome::BadCipherData,
                           "wrong key or damaged cipher data (size descriptor out of range)"};
  if (cipherLen % kBlockSize != 0 || cipherLen < 2 * kBlockSize) return damaged;

  SourceReader source(job);
  std::vector<std::uint8_t> chunk(job.chunkSize);
  ProgressRule rule(cipherLen, progress);
  CbcChain chain;

  // The first chunk holds the size descriptor: check it before a destination exists.
  std::size_t length = static_cast<std::size_t>(std::min<std::uintmax_t>(chunk.size(), cipherLen));
  source.readExactly(chunk.data(), length);
  decryptBlocks(engine, std::span(chunk).first(length), 0, chain, rule);
  const std::int32_t plainLength =
      readSizeDescriptor(std::span<const std::uint8_t, kHeaderSize>(chunk.data(), kHeaderSize));
  if (!sizeDescriptorFits(cipherLen, plainLength)) return damaged;

  Destination destination(job);
  std::uint64_t offset = 0;
  std::uint64_t unwritten = static_cast<std::uint64_t>(plainLength);
  std::size_t skip = kHeaderSize;
  for (;;) {
    const std::size_t plainHere = static_cast<std::size_t>(std::min<std::uint64_t>(length - skip, unwritten));
    destination.write(std::span(chunk).subspan(skip, plainHere));
    unwritten -= plainHere;
    offset += length;
    if (offset == cipherLen) break;
    length = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), cipherLen - offset));
    source.readExactly(chunk.data(), length);
    decryptBlocks(engine, std::span(chunk).first(length), offset, chain, rule);
    skip = 0;
  }
  source.close();
  if (!destination.commit(job.overwrite)) return destinationExists();
  rule.finish();
  return {FileOutcome::Written, {}};
}

template <class Operation>
FileResult absorbingFailures(Operation operation) noexcept {
  try {
    return operation();
  } catch (...) {
    const CaughtFailure failure = describeCurrentException();
    try {
      return {FileOutcome::Failed, text::toUtf8(failure.description)};
    } catch (...) {
    }
  }
  return {FileOutcome::Failed, {}};
}

}  // namespace

bool pathExists(const std::filesystem::path& path) noexcept {
  std::error_code error;
  static_cast<void>(std::filesystem::file_size(path, error));  // only whether it can be read
  return !error;
}

FileResult encryptFile(const BlowfishEngine& engine, const FileJob& job, RandomWords words,
                       const ProgressHandler& progress) noexcept {
  return absorbingFailures([&] { return encryptStreaming(engine, job, words, progress); });
}

FileResult decryptFile(const BlowfishEngine& engine, const FileJob& job, const ProgressHandler& progress) noexcept {
  return absorbingFailures([&] { return decryptStreaming(engine, job, progress); });
}

}  // namespace orv::cipher
