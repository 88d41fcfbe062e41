#pragma once
// The block cipher: Blowfish with two fixed departures (S-box words dealt out to the boxes in
// turn, key words accumulated by OR), on which every stored cipher text depends. It knows
// nothing of cipher data, text or callers. It does know one mode, cipher-block chaining over
// whole blocks, because that mode is where the time goes and needs the rounds themselves: the
// output whitening of one block and the input whitening of the next fold into one XOR, and
// decryption takes eight blocks through the rounds side by side. Another mode builds on
// encipher and decipher, in a file of its own.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace orv::cipher {

struct BlowfishTables {
  std::array<std::uint32_t, 18> p;
  std::array<std::uint32_t, 4 * 256> s;  // box b, entry e at s[256 * b + e]
};

// The tables of a fresh engine.
const BlowfishTables& initialTables();

// The cipher block chained to the next one; zero at the start of cipher data.
struct CbcChain {
  std::uint32_t left = 0;
  std::uint32_t right = 0;
};

class BlowfishEngine {
 public:
  BlowfishEngine();
  explicit BlowfishEngine(const BlowfishTables& tables);
  BlowfishEngine(const BlowfishEngine&) = default;
  BlowfishEngine& operator=(const BlowfishEngine&) = default;
  ~BlowfishEngine();

  // Mixes the key bytes into the tables as they stand, cycling over all of them (the caller
  // cuts them to the key's length in characters). There must be at least one.
  void mixKey(std::string_view keyBytes);

  void encipher(std::uint32_t& left, std::uint32_t& right) const;
  void decipher(std::uint32_t& left, std::uint32_t& right) const;

  // CBC over whole 8-byte blocks in place; blocks.size() must be a multiple of 8.
  void cbcEncrypt(std::span<std::uint8_t> blocks, CbcChain& chain) const;
  void cbcDecrypt(std::span<std::uint8_t> blocks, CbcChain& chain) const;

  const BlowfishTables& tables() const { return tables_; }

 private:
  BlowfishTables tables_;
};

inline constexpr std::size_t kBlockSize = 8;

}  // namespace orv::cipher
