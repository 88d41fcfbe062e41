#pragma once
// Cipher data: two random words, the size descriptor, the plain bytes and zero padding to
// whole blocks, all CBC-encrypted from a zero chain. The header numbers are stored least
// significant byte first, while the engine reads the same bytes as big-endian words.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "cipher/blowfish_engine.h"
#include "cipher/progress_rule.h"
#include "cipher/random_words.h"

namespace orv::cipher {

inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::size_t kSizeDescriptorOffset = 8;
// The largest plain length whose cipher length still fits a signed 32-bit count.
inline constexpr std::uint64_t kMaxPlainLength = 2147483647u - 19u;

// N plain bytes take N + 12 rounded up to whole blocks.
constexpr std::uint64_t cipherLength(std::uint64_t plainLength) {
  return (plainLength + kHeaderSize + kBlockSize - 1) / kBlockSize * kBlockSize;
}

// The cipher length of a plain length; error 6 (overflow) beyond kMaxPlainLength.
std::uint64_t checkedCipherLength(std::uint64_t plainLength);

void writeHeader(std::span<std::uint8_t, kHeaderSize> header, RandomWords words, std::uint32_t plainLength);

// Signed, as stored; a wrong key or damaged data shows as a value that does not fit.
std::int32_t readSizeDescriptor(std::span<const std::uint8_t, kHeaderSize> header);
bool sizeDescriptorFits(std::uint64_t cipherLength, std::int32_t sizeDescriptor);

// Whole blocks starting at this offset of the cipher data, raising Progress as they pass.
void encryptBlocks(const BlowfishEngine& engine, std::span<std::uint8_t> blocks, std::uint64_t offset,
                   CbcChain& chain, ProgressRule& progress);
void decryptBlocks(const BlowfishEngine& engine, std::span<std::uint8_t> blocks, std::uint64_t offset,
                   CbcChain& chain, ProgressRule& progress);

// `data` holds cipherLength(plainLength) bytes, the plain bytes first; they become the cipher data.
void encryptInPlace(const BlowfishEngine& engine, std::span<std::uint8_t> data, std::size_t plainLength,
                    RandomWords words, const ProgressHandler& progress);

// Replaces the plain bytes by their cipher data; no copy of them is left in a freed buffer.
void encryptCipherData(const BlowfishEngine& engine, std::vector<std::uint8_t>& bytes, RandomWords words,
                       const ProgressHandler& progress);

enum class DecryptOutcome {
  Plain,              // bytes now hold the plain bytes
  BadSizeDescriptor,  // wrong key or damaged data: bytes hold every decrypted byte, header included
  IncompleteBlock,    // length not whole blocks: whole blocks decrypted, the rest untouched
  TooShort,           // no room for a size descriptor: whole blocks decrypted
  Interrupted,        // a failure inside the operation ended it: bytes stay as far as it got
};

struct InPlaceDecryption {
  DecryptOutcome outcome;
  std::size_t plainLength = 0;  // with Plain: the plain bytes lead, and the rest is wiped
};

// Decrypts in place; never throws for bad data.
InPlaceDecryption decryptInPlace(const BlowfishEngine& engine, std::span<std::uint8_t> data,
                                 const ProgressHandler& progress);

// Replaces cipher data by its plain bytes when it can, wiping the capacity the array no longer
// counts; never throws for bad data.
DecryptOutcome decryptCipherData(const BlowfishEngine& engine, std::vector<std::uint8_t>& bytes,
                                 const ProgressHandler& progress);

}  // namespace orv::cipher
