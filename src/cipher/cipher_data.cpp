#include "cipher/cipher_data.h"

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"
#include "base/failure.h"
#include "base/secure_wipe.h"

namespace orv::cipher {
namespace {

// Runs the chain in stretches that end on a reporting block, so the hot loop carries no
// progress test.
template <class Chain>
void chainWithProgress(std::span<std::uint8_t> blocks, std::uint64_t offset, ProgressRule& progress, Chain chain) {
  std::size_t done = 0;
  while (done < blocks.size()) {
    const std::uint64_t at = offset + done;
    const std::uint64_t next = progress.nextReportOffset();
    const std::uint64_t reportAt = next <= at ? at : at + (next - at + kBlockSize - 1) / kBlockSize * kBlockSize;
    const std::size_t stop =
        static_cast<std::size_t>(std::min<std::uint64_t>(blocks.size(), reportAt - offset + kBlockSize));
    chain(blocks.subspan(done, stop - done));
    done = stop;
    if (reportAt + kBlockSize <= offset + done) progress.blockDone(reportAt);
  }
}

// A larger buffer is taken here and the old one wiped: grown by the vector itself, the old
// buffer would be freed with the plain bytes in it.
void growWiping(std::vector<std::uint8_t>& bytes, std::size_t size) {
  if (size <= bytes.capacity()) {
    bytes.resize(size);
    return;
  }
  std::vector<std::uint8_t> larger(size);
  if (!bytes.empty()) std::memcpy(larger.data(), bytes.data(), bytes.size());
  secureWipe(bytes.data(), bytes.size());
  bytes.swap(larger);
}

}  // namespace

std::uint64_t checkedCipherLength(std::uint64_t plainLength) {
  if (plainLength > kMaxPlainLength) throwOverflow();
  return cipherLength(plainLength);
}

void writeHeader(std::span<std::uint8_t, kHeaderSize> header, RandomWords words, std::uint32_t plainLength) {
  store32Le(header.data(), static_cast<std::uint32_t>(words.first));
  store32Le(header.data() + 4, static_cast<std::uint32_t>(words.second));
  store32Le(header.data() + kSizeDescriptorOffset, plainLength);
}

std::int32_t readSizeDescriptor(std::span<const std::uint8_t, kHeaderSize> header) {
  return static_cast<std::int32_t>(load32Le(header.data() + kSizeDescriptorOffset));
}

bool sizeDescriptorFits(std::uint64_t cipherLength, std::int32_t sizeDescriptor) {
  // A negative count is damaged data too: -1..-3 would otherwise leave a slack of 17..19.
  if (sizeDescriptor < 0) return false;
  const std::int64_t slack = static_cast<std::int64_t>(cipherLength) - sizeDescriptor;
  return slack >= 12 && slack <= 19;
}

void encryptBlocks(const BlowfishEngine& engine, std::span<std::uint8_t> blocks, std::uint64_t offset,
                   CbcChain& chain, ProgressRule& progress) {
  chainWithProgress(blocks, offset, progress, [&](std::span<std::uint8_t> run) { engine.cbcEncrypt(run, chain); });
}

void decryptBlocks(const BlowfishEngine& engine, std::span<std::uint8_t> blocks, std::uint64_t offset,
                   CbcChain& chain, ProgressRule& progress) {
  chainWithProgress(blocks, offset, progress, [&](std::span<std::uint8_t> run) { engine.cbcDecrypt(run, chain); });
}

void encryptInPlace(const BlowfishEngine& engine, std::span<std::uint8_t> data, std::size_t plainLength,
                    RandomWords words, const ProgressHandler& progress) {
  std::memmove(data.data() + kHeaderSize, data.data(), plainLength);
  std::fill(data.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + plainLength), data.end(), std::uint8_t{0});
  writeHeader(data.first<kHeaderSize>(), words, static_cast<std::uint32_t>(plainLength));
  ProgressRule rule(data.size(), progress);
  CbcChain chain;
  encryptBlocks(engine, data, 0, chain, rule);
  rule.finish();
}

void encryptCipherData(const BlowfishEngine& engine, std::vector<std::uint8_t>& bytes, RandomWords words,
                       const ProgressHandler& progress) {
  const std::size_t plainLength = bytes.size();
  growWiping(bytes, static_cast<std::size_t>(checkedCipherLength(plainLength)));
  encryptInPlace(engine, bytes, plainLength, words, progress);
}

InPlaceDecryption decryptInPlace(const BlowfishEngine& engine, std::span<std::uint8_t> data,
                                 const ProgressHandler& progress) {
  const std::size_t cipherLength = data.size();
  const std::size_t whole = cipherLength - cipherLength % kBlockSize;
  ProgressRule rule(cipherLength, progress);
  CbcChain chain;
  decryptBlocks(engine, data.first(whole), 0, chain, rule);
  if (whole != cipherLength) return {DecryptOutcome::IncompleteBlock};
  if (cipherLength < kHeaderSize) return {DecryptOutcome::TooShort};

  const std::int32_t descriptor = readSizeDescriptor(data.first<kHeaderSize>());
  if (!sizeDescriptorFits(cipherLength, descriptor)) return {DecryptOutcome::BadSizeDescriptor};
  const auto plainLength = static_cast<std::size_t>(descriptor);
  std::memmove(data.data(), data.data() + kHeaderSize, plainLength);
  // Behind the plain bytes stand the old copy of their tail and the header.
  secureWipe(data.data() + plainLength, cipherLength - plainLength);
  rule.finish();
  return {DecryptOutcome::Plain, plainLength};
}

DecryptOutcome decryptCipherData(const BlowfishEngine& engine, std::vector<std::uint8_t>& bytes,
                                 const ProgressHandler& progress) {
  const InPlaceDecryption decrypted = decryptInPlace(engine, bytes, progress);
  if (decrypted.outcome == DecryptOutcome::Plain) bytes.resize(decrypted.plainLength);
  return decrypted.outcome;
}

}  // namespace orv::cipher
