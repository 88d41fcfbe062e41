// The block cipher: its initial tables against pi, the shared block vectors, and the key
// schedule's departures and semantics.
#include <gtest/gtest.h>

#include <random>

#include "cipher/blowfish_engine.h"
#include "base/byte_order.h"
#include "cipher/clsBlowfish.h"
#include "base/failure.h"
#include "pi_words.h"
#include "text/ansi_codepage.h"
#include "vector_files.h"

namespace orv::cipher {
namespace {

using testing::hexToBytes;

std::string asKeyBytes(const std::string& hex) {
  const std::vector<std::uint8_t> bytes = hexToBytes(hex);
  return {bytes.begin(), bytes.end()};
}

BlowfishTables tablesAfterKeys(std::initializer_list<std::u16string> keys) {
  clsBlowfish cipher;
  for (const std::u16string& key : keys) cipher.Key(key);
  return cipher.tables();
}

bool sameTables(const BlowfishTables& a, const BlowfishTables& b) { return a.p == b.p && a.s == b.s; }

TEST(InitialTables, AreTheFractionDigitsOfPiDealtToTheBoxesInTurn) {
  const std::vector<std::uint32_t> pi = testing::piFractionWords(18 + 1024);
  ASSERT_EQ(pi[0], 0x243F6A88u) << "the digit generator itself is wrong";
  const BlowfishTables& t = initialTables();
  for (std::size_t i = 0; i < 18; ++i) EXPECT_EQ(t.p[i], pi[i]) << "P[" << i << "]";
  for (std::size_t box = 0; box < 4; ++box) {
    for (std::size_t entry = 0; entry < 256; ++entry) {
      ASSERT_EQ(t.s[256 * box + entry], pi[18 + 4 * entry + box]) << "S[" << box << "][" << entry << "]";
    }
  }
  // Box 0 starts D1310BA6, B8E1AFED, 24A19947; box 1 starts 98DFB5AC, 6A267E96.
  EXPECT_EQ(t.s[1], 0xB8E1AFEDu);
  EXPECT_EQ(t.s[2], 0x24A19947u);
  EXPECT_EQ(t.s[257], 0x6A267E96u);
}

TEST(BlockVectors, EncipherAndDecipherEveryRow) {
  const auto rows = testing::readVectorRows("engine.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    BlowfishEngine engine;
    const std::string key = asKeyBytes(row.at("key_hex"));
    if (!key.empty()) engine.mixKey(key);
    const auto plain = hexToBytes(row.at("plain_block_hex"));
    const auto cipher = hexToBytes(row.at("cipher_block_hex"));
    std::uint32_t l = load32Be(plain.data()), r = load32Be(plain.data() + 4);
    engine.encipher(l, r);
    EXPECT_EQ(l, load32Be(cipher.data())) << "key " << row.at("key_hex");
    EXPECT_EQ(r, load32Be(cipher.data() + 4)) << "key " << row.at("key_hex");
    engine.decipher(l, r);
    EXPECT_EQ(l, load32Be(plain.data()));
    EXPECT_EQ(r, load32Be(plain.data() + 4));
  }
}

TEST(BlockVectors, KeyPropertyReachesTheSameTablesAsTheKeyBytes) {
  for (const auto& row : testing::readVectorRows("engine.tsv")) {
    const std::string key = asKeyBytes(row.at("key_hex"));
    if (key.empty()) continue;
    BlowfishEngine engine;
    engine.mixKey(key);
    EXPECT_TRUE(sameTables(tablesAfterKeys({text::fromAnsi(key)}), engine.tables())) << row.at("key_hex");
  }
}

TEST(KeySchedule, UsesAtMostTheFirst72KeyBytes) {
  const std::u16string base(72, u'x');
  EXPECT_TRUE(sameTables(tablesAfterKeys({base + u"A"}), tablesAfterKeys({base + u"B"})));
  EXPECT_FALSE(sameTables(tablesAfterKeys({base.substr(0, 71) + u"A"}), tablesAfterKeys({base.substr(0, 71) + u"B"})));
}

TEST(KeySchedule, OneCharacterCyclesThroughAllPositions) {
  EXPECT_TRUE(sameTables(tablesAfterKeys({u"k"}), tablesAfterKeys({std::u16string(72, u'k')})));
  EXPECT_FALSE(sameTables(tablesAfterKeys({u"k"}), initialTables()));
}

TEST(KeySchedule, AccumulatesKeyBytesByOr) {
  // 'a' | 'b' == 'a' | 'c' == 0x63: the second words agree, so do the tables.
  EXPECT_TRUE(sameTables(tablesAfterKeys({u"ab"}), tablesAfterKeys({u"ac"})));
  // 'a' | 'd' == 0x65 does not.
  EXPECT_FALSE(sameTables(tablesAfterKeys({u"ab"}), tablesAfterKeys({u"ad"})));
}

TEST(KeySchedule, SameKeyAgainChangesNothingButTablesAreNotReset) {
  EXPECT_TRUE(sameTables(tablesAfterKeys({u"alpha", u"alpha"}), tablesAfterKeys({u"alpha"})));
  EXPECT_FALSE(sameTables(tablesAfterKeys({u"alpha", u"beta", u"alpha"}), tablesAfterKeys({u"alpha"})));
  EXPECT_TRUE(sameTables(tablesAfterKeys({u""}), initialTables()));
}

TEST(KeySchedule, EmptyKeyWhileKeyedFailsWithError9AndKeepsTheTables) {
  clsBlowfish cipher;
  cipher.Key(u"alpha");
  const BlowfishTables keyed = cipher.tables();
  try {
    cipher.Key(u"");
    FAIL() << "an empty key was accepted";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(), error_number::kSubscriptOutOfRange);
  }
  EXPECT_TRUE(sameTables(cipher.tables(), keyed));
  // The refused key still became the current one, so the earlier key is mixed in again.
  cipher.Key(u"alpha");
  EXPECT_FALSE(sameTables(cipher.tables(), keyed));

  // No key bytes at all never reach the schedule: the engine insists on it.
  BlowfishEngine engine;
  EXPECT_DEBUG_DEATH(engine.mixKey(""), "");
}

TEST(Engine, DecipherInvertsEncipherForKeyedTables) {
  BlowfishEngine engine;
  engine.mixKey("some key");
  std::mt19937 random(7);
  for (int i = 0; i < 1000; ++i) {
    const std::uint32_t l0 = random(), r0 = random();
    std::uint32_t l = l0, r = r0;
    engine.encipher(l, r);
    EXPECT_FALSE(l == l0 && r == r0);
    engine.decipher(l, r);
    ASSERT_EQ(l, l0);
    ASSERT_EQ(r, r0);
  }
}

TEST(Engine, InterleavedCbcDecryptionMatchesOneBlockAtATime) {
  BlowfishEngine engine;
  engine.mixKey("lanes");
  std::mt19937 random(11);
  for (std::size_t blocks = 1; blocks <= 19; ++blocks) {
    std::vector<std::uint8_t> data(blocks * kBlockSize);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    std::vector<std::uint8_t> together = data;
    CbcChain chain{0x01020304, 0x05060708};
    engine.cbcDecrypt(together, chain);

    std::vector<std::uint8_t> single = data;
    CbcChain singleChain{0x01020304, 0x05060708};
    for (std::size_t o = 0; o < single.size(); o += kBlockSize) {
      engine.cbcDecrypt(std::span(single).subspan(o, kBlockSize), singleChain);
    }
    EXPECT_EQ(together, single) << blocks << " blocks";
    EXPECT_EQ(chain.left, singleChain.left);
    EXPECT_EQ(chain.right, singleChain.right);

    CbcChain encryptChain{0x01020304, 0x05060708};
    engine.cbcEncrypt(together, encryptChain);
    EXPECT_EQ(together, data) << "CBC encryption does not invert decryption";
  }
}

}  // namespace
}  // namespace orv::cipher
