#include "cipher/cipher_data.h"

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"
#include "base/failure.h"

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

}  // namespace

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

void encryptCipherData(const BlowfishEngine& engine, std::vector<std::uint8_t>& bytes, RandomWords words,
                       const ProgressHandler& progress) {
  const std::size_t plainLength = bytes.size();
  if (plainLength > kMaxPlainLength) throwOverflow();
  bytes.resize(cipherLength(plainLength));  // the padding comes in as zeros
  std::memmove(bytes.data() + kHeaderSize, bytes.data(), plainLength);
  writeHeader(std::span<std::uint8_t, kHeaderSize>(bytes.data(), kHeaderSize), words,
              static_cast<std::uint32_t>(plainLength));
  ProgressRule rule(bytes.size(), progress);
  CbcChain chain;
  encryptBlocks(engine, bytes, 0, chain, rule);
  rule.finish();
}

DecryptOutcome decryptCipherData(const BlowfishEngine& engine, std::vector<std::uint8_t>& bytes,
                                 const ProgressHandler& progress) {
  const std::size_t cipherLength = bytes.size();
  const std::size_t whole = cipherLength - cipherLength % kBlockSize;
  ProgressRule rule(cipherLength, progress);
  CbcChain chain;
  decryptBlocks(engine, std::span(bytes).first(whole), 0, chain, rule);
  if (whole != cipherLength) return DecryptOutcome::IncompleteBlock;
  if (cipherLength < kHeaderSize) return DecryptOutcome::TooShort;

  const std::int32_t plainLength = readSizeDescriptor(std::span<const std::uint8_t, kHeaderSize>(bytes.data(), kHeaderSize));
  if (!sizeDescriptorFits(cipherLength, plainLength)) return DecryptOutcome::BadSizeDescriptor;
  std::memmove(bytes.data(), bytes.data() + kHeaderSize, static_cast<std::size_t>(plainLength));
  bytes.resize(static_cast<std::size_t>(plainLength));
  rule.finish();
  return DecryptOutcome::Plain;
}

}  // namespace orv::cipher
