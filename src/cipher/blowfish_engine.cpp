#include "cipher/blowfish_engine.h"

#include <cassert>

#include "base/byte_order.h"
#include "cipher/initial_tables.h"
#include "base/secure_wipe.h"

namespace orv::cipher {
namespace {

// First departure: digit-order word 4e + b goes to box b, entry e (published Blowfish
// would fill each box with 256 consecutive words).
constexpr BlowfishTables dealInitialTables() {
  BlowfishTables t{};
  t.p = kInitialP;
  for (std::size_t box = 0; box < 4; ++box) {
    for (std::size_t entry = 0; entry < 256; ++entry) t.s[256 * box + entry] = kInitialSWords[4 * entry + box];
  }
  return t;
}

constexpr BlowfishTables kInitialTables = dealInitialTables();

// Widened first, so box offsets fold into the load addresses instead of costing an add.
inline std::uint32_t F(const std::uint32_t* s, std::uint32_t x) {
  const std::uint64_t y = x;
  return ((s[y >> 24] + s[256 + ((y >> 16) & 0xFF)]) ^ s[512 + ((y >> 8) & 0xFF)]) + s[768 + (y & 0xFF)];
}

// K independent blocks advance through the rounds side by side: one block's rounds form a
// dependency chain of table loads, so interleaving several keeps the load units busy.
template <std::size_t K>
struct Lanes {
  std::uint32_t l[K];
  std::uint32_t r[K];

  // One half round on every lane: R ^= F(L) ^ key, or L ^= F(R) ^ key.
  inline void intoRight(const std::uint32_t* s, std::uint32_t key) {
#pragma GCC unroll 8
    for (std::size_t i = 0; i < K; ++i) r[i] = (r[i] ^ key) ^ F(s, l[i]);
  }
  inline void intoLeft(const std::uint32_t* s, std::uint32_t key) {
#pragma GCC unroll 8
    for (std::size_t i = 0; i < K; ++i) l[i] = (l[i] ^ key) ^ F(s, r[i]);
  }

  // The sixteen rounds between the input whitening with P[0] and the output whitening with
  // P[17]; the halves come out unswapped.
  inline void rounds(const BlowfishTables& t) {
    const std::uint32_t* p = t.p.data();
    const std::uint32_t* s = t.s.data();
    intoRight(s, p[1]); intoLeft(s, p[2]); intoRight(s, p[3]); intoLeft(s, p[4]);
    intoRight(s, p[5]); intoLeft(s, p[6]); intoRight(s, p[7]); intoLeft(s, p[8]);
    intoRight(s, p[9]); intoLeft(s, p[10]); intoRight(s, p[11]); intoLeft(s, p[12]);
    intoRight(s, p[13]); intoLeft(s, p[14]); intoRight(s, p[15]); intoLeft(s, p[16]);
  }

  inline void encipher(const BlowfishTables& t) {
#pragma GCC unroll 8
    for (std::size_t i = 0; i < K; ++i) l[i] ^= t.p[0];
    rounds(t);
    // The halves change places on the way out.
#pragma GCC unroll 8
    for (std::size_t i = 0; i < K; ++i) {
      const std::uint32_t left = r[i] ^ t.p[17];
      r[i] = l[i];
      l[i] = left;
    }
  }

  inline void decipher(const BlowfishTables& t) {
    const std::uint32_t* p = t.p.data();
    const std::uint32_t* s = t.s.data();
#pragma GCC unroll 8
    for (std::size_t i = 0; i < K; ++i) {
      const std::uint32_t left = r[i] ^ p[16];
      r[i] = l[i] ^ p[17];
      l[i] = left;
    }
    intoLeft(s, 0); intoRight(s, p[15]); intoLeft(s, p[14]); intoRight(s, p[13]);
    intoLeft(s, p[12]); intoRight(s, p[11]); intoLeft(s, p[10]); intoRight(s, p[9]);
    intoLeft(s, p[8]); intoRight(s, p[7]); intoLeft(s, p[6]); intoRight(s, p[5]);
    intoLeft(s, p[4]); intoRight(s, p[3]); intoLeft(s, p[2]); intoRight(s, p[1]);
#pragma GCC unroll 8
    for (std::size_t i = 0; i < K; ++i) l[i] ^= p[0];
  }
};

using OneBlock = Lanes<1>;
constexpr std::size_t kDecryptLanes = 8;

}  // namespace

const BlowfishTables& initialTables() { return kInitialTables; }

BlowfishEngine::BlowfishEngine() : tables_(kInitialTables) {}

BlowfishEngine::BlowfishEngine(const BlowfishTables& tables) : tables_(tables) {}

BlowfishEngine::~BlowfishEngine() { secureWipe(&tables_, sizeof tables_); }

void BlowfishEngine::encipher(std::uint32_t& left, std::uint32_t& right) const {
  OneBlock b{{left}, {right}};
  b.encipher(tables_);
  left = b.l[0];
  right = b.r[0];
}

void BlowfishEngine::decipher(std::uint32_t& left, std::uint32_t& right) const {
  OneBlock b{{left}, {right}};
  b.decipher(tables_);
  left = b.l[0];
  right = b.r[0];
}

void BlowfishEngine::mixKey(std::string_view keyBytes) {
  // Without key bytes there is nothing to mix: callers refuse an empty key (clsBlowfish as error 9).
  assert(!keyBytes.empty());
  // Second departure: each key word keeps the bytes it has and ORs the next key byte into
  // the low byte, so its bytes read k0, k0|k1, k0|k1|k2, k0|k1|k2|k3.
  std::size_t j = 0;
  for (std::uint32_t& word : tables_.p) {
    std::uint32_t d = 0;
    for (int k = 0; k < 4; ++k) {
      d = (d << 8) | (d & 0xFF);
      d |= static_cast<std::uint8_t>(keyBytes[j]);
      if (++j >= keyBytes.size()) j = 0;
    }
    word ^= d;
  }
  // Published schedule from here: 521 encryptions of a running block, each result replacing
  // the next two table words, so later encryptions already use the new words.
  OneBlock b{{0}, {0}};
  for (std::size_t i = 0; i < tables_.p.size(); i += 2) {
    b.encipher(tables_);
    tables_.p[i] = b.l[0];
    tables_.p[i + 1] = b.r[0];
  }
  // P is settled now, so one block's output whitening and the next one's input whitening
  // fold into one constant: a single XOR joins consecutive encryptions.
  const std::uint32_t p0 = tables_.p[0], p17 = tables_.p[17];
  std::uint32_t rawLeft = b.l[0] ^ p17;
  std::uint32_t right = b.r[0];
  for (std::size_t i = 0; i < tables_.s.size(); i += 2) {
    b.l[0] = rawLeft ^ (p0 ^ p17);
    b.r[0] = right;
    b.rounds(tables_);
    rawLeft = b.r[0];
    right = b.l[0];
    tables_.s[i] = rawLeft ^ p17;
    tables_.s[i + 1] = right;
  }
}

void BlowfishEngine::cbcEncrypt(std::span<std::uint8_t> blocks, CbcChain& chain) const {
  // Each block's input is the previous cipher block, itself whitened with P[17], and is then
  // whitened with P[0]: P[0] ^ P[17] joins the plain text off the chain's critical path.
  const std::uint32_t p0 = tables_.p[0], p17 = tables_.p[17];
  std::uint32_t rawLeft = chain.left ^ p17;
  std::uint32_t right = chain.right;
  for (std::size_t o = 0; o + kBlockSize <= blocks.size(); o += kBlockSize) {
    std::uint8_t* block = blocks.data() + o;
    OneBlock b{{(load32Be(block) ^ (p0 ^ p17)) ^ rawLeft}, {load32Be(block + 4) ^ right}};
    b.rounds(tables_);
    rawLeft = b.r[0];
    right = b.l[0];
    store32Be(block, rawLeft ^ p17);
    store32Be(block + 4, right);
  }
  chain = {rawLeft ^ p17, right};
}

void BlowfishEngine::cbcDecrypt(std::span<std::uint8_t> blocks, CbcChain& chain) const {
  // No chain dependency between blocks here: each needs only its predecessor's cipher text.
  std::size_t o = 0;
  constexpr std::size_t kStride = kDecryptLanes * kBlockSize;
  for (; o + kStride <= blocks.size(); o += kStride) {
    std::uint8_t* group = blocks.data() + o;
    Lanes<kDecryptLanes> b;
    for (std::size_t i = 0; i < kDecryptLanes; ++i) {
      b.l[i] = load32Be(group + kBlockSize * i);
      b.r[i] = load32Be(group + kBlockSize * i + 4);
    }
    const Lanes<kDecryptLanes> cipher = b;
    b.decipher(tables_);
    for (std::size_t i = 0; i < kDecryptLanes; ++i) {
      const std::uint32_t previousLeft = i == 0 ? chain.left : cipher.l[i - 1];
      const std::uint32_t previousRight = i == 0 ? chain.right : cipher.r[i - 1];
      store32Be(group + kBlockSize * i, b.l[i] ^ previousLeft);
      store32Be(group + kBlockSize * i + 4, b.r[i] ^ previousRight);
    }
    chain = {cipher.l[kDecryptLanes - 1], cipher.r[kDecryptLanes - 1]};
  }
  for (; o + kBlockSize <= blocks.size(); o += kBlockSize) {
    std::uint8_t* block = blocks.data() + o;
    OneBlock b{{load32Be(block)}, {load32Be(block + 4)}};
    const CbcChain cipher{b.l[0], b.r[0]};
    b.decipher(tables_);
    store32Be(block, b.l[0] ^ chain.left);
    store32Be(block + 4, b.r[0] ^ chain.right);
    chain = cipher;
  }
}

}  // namespace orv::cipher
